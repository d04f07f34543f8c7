// Shows an ActivityTable in a Qt view without copying its cells.
#include "tablemodel.h"

#include "ui/layout.h"
#include "ui/tablecopy.h"

#include <QHeaderView>
#include <QTableView>
#include <vector>

namespace dwellmark::ui {

TableModel::TableModel(ActivityTable& table, QObject* parent) : QAbstractTableModel(parent), m_table(table) {
    m_table.addObserver(this);
}

TableModel::~TableModel() {
    m_table.removeObserver(this);
}

int TableModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(m_following ? m_table.rowCount() : m_knownRows);
}

int TableModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(m_table.columnCount());
}

QVariant TableModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || (role != Qt::DisplayRole && role != Qt::ToolTipRole) ||
        static_cast<std::size_t>(index.row()) >= m_table.rowCount()) {
        return {};
    }
    const std::string_view text =
        m_table.text(static_cast<std::size_t>(index.row()) + 1, static_cast<std::size_t>(index.column()));
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

QVariant TableModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 ||
        static_cast<std::size_t>(section) >= m_table.columnCount()) {
        return {};
    }
    return QString::fromStdString(m_table.columns()[static_cast<std::size_t>(section)].header);
}

QString TableModel::copiedRows(const QList<int>& rows) const {
    std::vector<std::size_t> numbers;
    for (const int row : rows) {
        if (row >= 0) {
            numbers.push_back(static_cast<std::size_t>(row) + 1);
        }
    }
    return QString::fromStdString(ui::copiedRows(m_table, numbers, false));
}

QString TableModel::copiedTable() const {
    return QString::fromStdString(ui::copiedTable(m_table));
}

void TableModel::attachTo(QTableView& view) {
    view.setModel(this);
    const auto& columns = m_table.columns();
    for (std::size_t i = 0; i < columns.size(); ++i) {
        const int column = static_cast<int>(i);
        if (columns[i].widthPoints == 0) {
            view.setColumnHidden(column, true);
        } else {
            view.horizontalHeader()->resizeSection(column, layout::pointsToPixels(columns[i].widthPoints));
        }
    }
}

void TableModel::setFollowing(bool following) {
    if (following == m_following) {
        return;
    }
    if (!following) {
        m_knownRows = m_table.rowCount();
        m_following = false;
        m_table.removeObserver(this);
        return;
    }
    beginResetModel();
    m_following = true;
    m_table.addObserver(this);
    endResetModel();
}

void TableModel::rowAboutToBeAdded(std::size_t row) {
    const int at = static_cast<int>(row) - 1;
    beginInsertRows(QModelIndex(), at, at);
}

void TableModel::rowAdded(std::size_t) {
    endInsertRows();
}

void TableModel::cellChanged(std::size_t row, std::size_t column) {
    const QModelIndex cell = index(static_cast<int>(row) - 1, static_cast<int>(column));
    emit dataChanged(cell, cell, {Qt::DisplayRole, Qt::ToolTipRole});
}

void TableModel::rowAboutToBeRemoved(std::size_t row) {
    const int at = static_cast<int>(row) - 1;
    beginRemoveRows(QModelIndex(), at, at);
}

void TableModel::rowRemoved(std::size_t) {
    endRemoveRows();
}

} // namespace dwellmark::ui
