#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <initializer_list>
#include <memory>
#include <string>
#include <string_view>
#include <type_traits>
#include <vector>

namespace dwellmark {

class TableObserver;

/// One column of a table: its header and its width in points (0 = present but not shown).
struct TableColumn {
    std::string header;
    int widthPoints = 0;
};

/// An ordered list of rows of text cells, numbered from 1. The first cell of a
/// row is its main text; the cells after it are its sub-items 1, 2, ...
///
/// All tracking data lives here as text. Rows are added at the end and
/// removed by position; a table holds as many rows as memory allows.
class ActivityTable final {
public:
    explicit ActivityTable(std::vector<TableColumn> columns);

    ActivityTable(const ActivityTable&) = delete;
    ActivityTable& operator=(const ActivityTable&) = delete;

    const std::vector<TableColumn>& columns() const { return m_columns; }
    std::size_t columnCount() const { return m_columns.size(); }
    std::size_t rowCount() const { return m_rows.size(); }

    /// The text of a cell; row is 1-based, column 0 is the main text. The
    /// view stays valid until the row is changed or removed.
    std::string_view text(std::size_t row, std::size_t column) const;
    void setText(std::size_t row, std::size_t column, std::string_view text);

    /// Appends a row whose sub-items are empty and returns its number.
    std::size_t addRow(std::string_view mainText);

    /// Appends a row with its cells in column order, the main text first;
    /// cells not given are empty. Observers hear of the whole row once, not of
    /// each cell. Throws std::out_of_range for more cells than columns.
    std::size_t addRow(std::initializer_list<std::string_view> cells);

    /// Removes a row; the rows after it move up by one.
    void removeRow(std::size_t row);

    // Column enums of the three tables can be used directly as column numbers.
    template <typename Column>
    requires std::is_enum_v<Column> std::string_view text(std::size_t row, Column column)
    const { return text(row, static_cast<std::size_t>(column)); }
    template <typename Column>
    requires std::is_enum_v<Column>
    void setText(std::size_t row, Column column, std::string_view value) {
        setText(row, static_cast<std::size_t>(column), value);
    }

    /// Observers are not owned; an observer must be removed before it is destroyed.
    void addObserver(TableObserver* observer);
    void removeObserver(TableObserver* observer);

private:
    // A row is one block: the end offset of each cell, then the cells' bytes.
    // A usage log of a hundred thousand rows then costs one small allocation
    // per row instead of one per cell.
    using Row = std::unique_ptr<char[]>;
    using Offset = std::uint32_t;

    const Row& rowAt(std::size_t row) const;
    std::string_view cell(const Row& row, std::size_t column) const;
    Row makeRow(std::size_t replacedColumn, std::string_view replacement, const Row* from) const;
    /// A row of the texts cellAt(column) gives for each column.
    template <typename CellAt>
    Row buildRow(CellAt cellAt) const;
    std::size_t appendRow(Row cells);

    std::vector<TableColumn> m_columns;
    // A deque keeps appends cheap for a log of any length (no reallocation of
    // the rows already there).
    std::deque<Row> m_rows;
    std::vector<TableObserver*> m_observers;
};

} // namespace dwellmark
