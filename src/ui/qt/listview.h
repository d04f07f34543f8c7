// A list of the main window: drawn cheaply as rows come, following the newest row, copied to the clipboard.
#pragma once

#include <QElapsedTimer>
#include <QList>
#include <QPoint>
#include <QScrollBar>
#include <QTableView>
#include <QTimer>

namespace dwellmark::ui {

class KeptScrollBar;

/// A list with a header row, one line per row, as the main window's lists are
/// drawn. Rows added at the end and cells that change are cheap: only what
/// they change on screen is drawn, gathered into at most a few showings a
/// second, so a usage log that grows ten times a second costs next to nothing.
/// While the list is scrolled to its end, new rows scroll into view; scrolled
/// up, it stays where it is. Ctrl+C copies the selected row, and a context
/// menu offers "Copy" and "Copy All" (with the headers): the shown columns,
/// tab-separated, one row a line. The model must be a TableModel; a list
/// hidden on purpose (not merely minimised with its window) has its model stop
/// following the table until it is shown again.
class ListView final : public QTableView {
    Q_OBJECT

public:
    explicit ListView(QWidget* parent = nullptr);

    /// The header row (the columns' titles and widths).
    QHeaderView* header() const { return horizontalHeader(); }

    void doItemsLayout() override;
    void reset() override;
    void setModel(QAbstractItemModel* model) override;
    void setVisible(bool visible) override;

    /// The shortest time, in milliseconds, between two showings of changes.
    static constexpr int showInterval = 500;

    /// Puts the selected row on the clipboard, without headers.
    void copySelection();
    /// Puts every row on the clipboard, under the column headers.
    void copyAll();

protected:
    void updateGeometries() override;
    void scrollContentsBy(int dx, int dy) override;
    void changeEvent(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void dataChanged(const QModelIndex& topLeft, const QModelIndex& bottomRight,
                     const QList<int>& roles = QList<int>()) override;
    void rowsInserted(const QModelIndex& parent, int start, int end) override;
    void rowsAboutToBeRemoved(const QModelIndex& parent, int start, int end) override;

private:
    void followTableWhileShown();
    void scheduleShowing();
    void showChanges();
    // Whether the list shows its last row; asked before new rows reach the scroll bar.
    bool atEnd() const;

    // Owned by the list, as Qt's scroll area takes them in.
    KeptScrollBar* m_verticalBar;
    KeptScrollBar* m_horizontalBar;
    // How far, in pixels, the rows were scrolled down in all (up: negative).
    int m_scrolledBy = 0;
    // The first row appended since the last showing, -1 when none.
    int m_firstAppended = -1;
    // Set by any change other than appended rows and changed cells.
    bool m_fullLayout = true;
    // Set while Qt lays the whole list out.
    bool m_layingOutAfresh = false;
    // Whether the list showed its last row when its ranges were last set or
    // it was last scrolled; ranges not yet set show nothing.
    bool m_showsEnd = false;
    // Cells changed since the last showing, as (row, column).
    QList<QPoint> m_changedCells;
    QElapsedTimer m_sinceShown;
    QTimer m_showingDue;
};

} // namespace dwellmark::ui
