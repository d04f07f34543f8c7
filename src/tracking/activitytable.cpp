#include "activitytable.h"

#include "tableobserver.h"

#include <algorithm>
#include <cstring>
#include <limits>
#include <stdexcept>
#include <string>

namespace dwellmark {

ActivityTable::ActivityTable(std::vector<TableColumn> columns) : m_columns(std::move(columns)) {
    if (m_columns.empty()) {
        throw std::invalid_argument("a table needs at least one column");
    }
}

const ActivityTable::Row& ActivityTable::rowAt(std::size_t row) const {
    if (row == 0 || row > m_rows.size()) {
        throw std::out_of_range("no row " + std::to_string(row) + " in a table of " + std::to_string(m_rows.size()));
    }
    return m_rows[row - 1];
}

std::string_view ActivityTable::cell(const Row& row, std::size_t column) const {
    if (column >= m_columns.size()) {
        throw std::out_of_range("no column " + std::to_string(column));
    }
    Offset begin = 0;
    Offset end = 0;
    if (column > 0) {
        std::memcpy(&begin, row.get() + (column - 1) * sizeof(Offset), sizeof(Offset));
    }
    std::memcpy(&end, row.get() + column * sizeof(Offset), sizeof(Offset));
    const char* texts = row.get() + m_columns.size() * sizeof(Offset);
    return {texts + begin, end - begin};
}

template <typename CellAt>
ActivityTable::Row ActivityTable::buildRow(CellAt cellAt) const {
    const std::size_t columns = m_columns.size();
    std::size_t bytes = 0;
    for (std::size_t column = 0; column < columns; ++column) {
        bytes += cellAt(column).size();
    }
    if (bytes > std::numeric_limits<Offset>::max()) {
        throw std::length_error("a table row of more than 4 GiB of text");
    }
    Row row(new char[columns * sizeof(Offset) + bytes]);
    char* texts = row.get() + columns * sizeof(Offset);
    Offset end = 0;
    for (std::size_t column = 0; column < columns; ++column) {
        const std::string_view text = cellAt(column);
        if (!text.empty()) {
            std::memcpy(texts + end, text.data(), text.size());
        }
        end += static_cast<Offset>(text.size());
        std::memcpy(row.get() + column * sizeof(Offset), &end, sizeof(Offset));
    }
    return row;
}

ActivityTable::Row ActivityTable::makeRow(std::size_t replacedColumn, std::string_view replacement,
                                          const Row* from) const {
    return buildRow([&](std::size_t column) {
        return column == replacedColumn ? replacement : (from != nullptr ? cell(*from, column) : std::string_view());
    });
}

std::string_view ActivityTable::text(std::size_t row, std::size_t column) const {
    return cell(rowAt(row), column);
}

void ActivityTable::setText(std::size_t row, std::size_t column, std::string_view text) {
    const Row& current = rowAt(row);
    if (cell(current, column) == text) {
        return;
    }
    // The new text may be a view into this very row: build the new row before the old one goes.
    Row replaced = makeRow(column, text, &current);
    m_rows[row - 1] = std::move(replaced);
    for (TableObserver* observer : m_observers) {
        observer->cellChanged(row, column);
    }
}

std::size_t ActivityTable::addRow(std::string_view mainText) {
    return appendRow(makeRow(0, mainText, nullptr));
}

std::size_t ActivityTable::addRow(std::initializer_list<std::string_view> cells) {
    if (cells.size() > m_columns.size()) {
        throw std::out_of_range(std::to_string(cells.size()) + " cells for a row of " +
                                std::to_string(m_columns.size()) + " columns");
    }
    return appendRow(buildRow(
        [&](std::size_t column) { return column < cells.size() ? cells.begin()[column] : std::string_view(); }));
}

std::size_t ActivityTable::appendRow(Row cells) {
    const std::size_t row = m_rows.size() + 1;
    for (TableObserver* observer : m_observers) {
        observer->rowAboutToBeAdded(row);
    }
    m_rows.push_back(std::move(cells));
    for (TableObserver* observer : m_observers) {
        observer->rowAdded(row);
    }
    return row;
}

void ActivityTable::removeRow(std::size_t row) {
    rowAt(row);
    for (TableObserver* observer : m_observers) {
        observer->rowAboutToBeRemoved(row);
    }
    m_rows.erase(m_rows.begin() + static_cast<std::ptrdiff_t>(row - 1));
    for (TableObserver* observer : m_observers) {
        observer->rowRemoved(row);
    }
}

void ActivityTable::addObserver(TableObserver* observer) {
    if (observer != nullptr && std::find(m_observers.begin(), m_observers.end(), observer) == m_observers.end()) {
        m_observers.push_back(observer);
    }
}

void ActivityTable::removeObserver(TableObserver* observer) {
    std::erase(m_observers, observer);
}

} // namespace dwellmark
