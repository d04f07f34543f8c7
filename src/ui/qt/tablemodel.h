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

    /// Whether the model tells its views of the table's changes as they
    /// happen (as it does from the start). While it does not, it stops
    /// observing the table, so a change costs nothing: its views are told
    /// nothing and keep the row count they knew (a row beyond the table reads
    /// empty). Following again, it resets its views to the table as it is then.
    void setFollowing(bool following);
    bool following() const { return m_following; }

private:
    void rowAboutToBeAdded(std::size_t row) override;
    void rowAdded(std::size_t row) override;
    void cellChanged(std::size_t row, std::size_t column) override;
    void rowAboutToBeRemoved(std::size_t row) override;
    void rowRemoved(std::size_t row) override;

    ActivityTable& m_table;
    bool m_following = true;
    // The row count the views know while the model does not follow.
    std::size_t m_knownRows = 0;
};

} // namespace dwellmark::ui
