// A table's texts as plain strings, for comparing what a table shows, and rows of totals made up by hand.
#pragma once

#include "tracking/activitytable.h"
#include "tracking/activitytables.h"

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace dwellmark::testing {

using Row = std::vector<std::string>;
using Rows = std::vector<Row>;

/// The texts of one row (1 is the first row below the header).
inline Row rowOf(const ActivityTable& table, std::size_t row) {
    Row cells;
    for (std::size_t column = 0; column < table.columnCount(); ++column) {
        cells.emplace_back(table.text(row, column));
    }
    return cells;
}

/// The texts of every row below the header.
inline Rows rowsOf(const ActivityTable& table) {
    Rows rows;
    for (std::size_t row = 1; row <= table.rowCount(); ++row) {
        rows.push_back(rowOf(table, row));
    }
    return rows;
}

/// The usage log's rows as "application | title | total", what the tests of a desktop check of each stretch.
inline std::vector<std::string> logSummary(const ActivityTable& log) {
    std::vector<std::string> rows;
    for (std::size_t row = 1; row <= log.rowCount(); ++row) {
        rows.push_back(std::string(log.text(row, LogColumn::Application)) + " | " +
                       std::string(log.text(row, LogColumn::WindowTitle)) + " | " +
                       std::string(log.text(row, LogColumn::Total)));
    }
    return rows;
}

/// A row of totals as the chart and the main window read it: the time column is left empty, as nothing shown reads it.
inline void addTotal(ActivityTable& totals, std::string_view application, std::string_view title,
                     std::string_view seconds) {
    const std::size_t row = totals.addRow(application);
    totals.setText(row, TotalsColumn::WindowTitle, title);
    totals.setText(row, TotalsColumn::TotalSeconds, seconds);
}

} // namespace dwellmark::testing
