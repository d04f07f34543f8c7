// The text a list puts on the clipboard, shared by every front end.
#pragma once

#include "tracking/activitytable.h"

#include <cstddef>
#include <span>
#include <string>
#include <string_view>

namespace dwellmark::ui {

/// Rows of a table as text that pastes into a spreadsheet as a table: the
/// cells of the shown columns (a column of width 0 is hidden and left out)
/// separated by tabs, each row ended by lineEnd. With headers, the first line
/// holds the shown columns' headers. A tab or line break inside a cell (a
/// window title may hold one) becomes a space, so that every cell stays in
/// its column. Rows are 1-based, copied in the order given; a number the
/// table has no row for is skipped.
std::string copiedRows(const ActivityTable& table, std::span<const std::size_t> rows, bool withHeaders,
                       std::string_view lineEnd = "\n");

/// Every row of a table, under the shown columns' headers.
std::string copiedTable(const ActivityTable& table, std::string_view lineEnd = "\n");

} // namespace dwellmark::ui
