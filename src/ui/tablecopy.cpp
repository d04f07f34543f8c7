// The clipboard text of a list: its shown columns, tab-separated, one row a line.
#include "ui/tablecopy.h"

#include <numeric>
#include <vector>

namespace dwellmark::ui {

namespace {

void appendCell(std::string& text, std::string_view cell) {
    for (const char c : cell) {
        text += (c == '\t' || c == '\n' || c == '\r') ? ' ' : c;
    }
}

template <typename CellOf>
void appendLine(std::string& text, const ActivityTable& table, CellOf cellOf, std::string_view lineEnd) {
    bool first = true;
    for (std::size_t column = 0; column < table.columnCount(); ++column) {
        if (table.columns()[column].widthPoints == 0) {
            continue;
        }
        if (!first) {
            text += '\t';
        }
        first = false;
        appendCell(text, cellOf(column));
    }
    text += lineEnd;
}

} // namespace

std::string copiedRows(const ActivityTable& table, std::span<const std::size_t> rows, bool withHeaders,
                       std::string_view lineEnd) {
    std::string text;
    if (withHeaders) {
        appendLine(
            text, table, [&](std::size_t column) { return std::string_view(table.columns()[column].header); }, lineEnd);
    }
    for (const std::size_t row : rows) {
        if (row >= 1 && row <= table.rowCount()) {
            appendLine(
                text, table, [&](std::size_t column) { return table.text(row, column); }, lineEnd);
        }
    }
    return text;
}

std::string copiedTable(const ActivityTable& table, std::string_view lineEnd) {
    std::vector<std::size_t> rows(table.rowCount());
    std::iota(rows.begin(), rows.end(), std::size_t{1});
    return copiedRows(table, rows, true, lineEnd);
}

} // namespace dwellmark::ui
