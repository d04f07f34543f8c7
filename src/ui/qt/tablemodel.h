// An ActivityTable as a Qt item model, and the text its rows copy as.
#pragma once

#include "tracking/activitytable.h"
#include "tracking/tableobserver.h"

#include <QAbstractTableModel>

class QTableView;

namespace dwellmark::ui {

/// Shows an ActivityTable in a Qt view. The model keeps no copy of the cells:
/// it reads them from the table when the view paints, and follows the table's
/// changes as they happen, so a long usage log costs only the rows on screen.
class TableModel final : public QAbstractTableModel, private TableObserver {
    Q_OBJECT

public:
    /// The table must outlive the model.
    explicit TableModel(ActivityTable& table, QObject* parent = nullptr);
    ~TableModel() override;

    TableModel(const TableModel&) = delete;
    TableModel& operator=(const TableModel&) = delete;

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

    /// The rows (0-based, as the view counts them) as the clipboard takes
    /// them: the shown columns, tab-separated, one row a line, without headers.
    QString copiedRows(const QList<int>& rows) const;
    /// Every row under the shown columns' headers, as the clipboard takes them.
    QString copiedTable() const;

    /// Gives the view this model, with the table's column widths; a column of
    /// width 0 keeps its data but is hidden.
    void attachTo(QTableView& view);

private:
    void rowAboutToBeAdded(std::size_t row) override;
    void rowAdded(std::size_t row) override;
    void cellChanged(std::size_t row, std::size_t column) override;
    void rowAboutToBeRemoved(std::size_t row) override;
    void rowRemoved(std::size_t row) override;

    ActivityTable& m_table;
};

} // namespace dwellmark::ui
