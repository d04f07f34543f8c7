#include "activitytable.h"

#include "tableobserver.h"

#include <algorithm>
#include <stdexcept>
#include <string>

namespace dwellmark {

ActivityTable::ActivityTable(std::vector<TableColumn> columns) : m_columns(std::move(columns)) {
    if (m_columns.empty()) {
        throw std::invalid_argument("a table needs at least one column");
    }
}

ActivityTable::Row& ActivityTable::rowAt(std::size_t row) {
    if (row == 0 || row > m_rows.size()) {
        throw std::out_of_range("no row " + std::to_string(row) + " in a table of " + std::to_string(m_rows.size()));
    }
    return m_rows[row - 1];
}

const ActivityTable::Row& ActivityTable::rowAt(std::size_t row) const {
    return const_cast<ActivityTable*>(this)->rowAt(row);
}

const std::string& ActivityTable::text(std::size_t row, std::size_t column) const {
    const Row& cells = rowAt(row);
    if (column >= cells.size()) {
        throw std::out_of_range("no column " + std::to_string(column));
    }
    return cells[column];
}

void ActivityTable::setText(std::size_t row, std::size_t column, std::string text) {
    Row& cells = rowAt(row);
    if (column >= cells.size()) {
        throw std::out_of_range("no column " + std::to_string(column));
    }
    if (cells[column] == text) {
        return;
    }
    cells[column] = std::move(text);
    for (TableObserver* observer : m_observers) {
        observer->cellChanged(row, column);
    }
}

std::size_t ActivityTable::addRow(std::string mainText) {
    const std::size_t row = m_rows.size() + 1;
    for (TableObserver* observer : m_observers) {
        observer->rowAboutToBeAdded(row);
    }
    Row cells(m_columns.size());
    cells[0] = std::move(mainText);
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
