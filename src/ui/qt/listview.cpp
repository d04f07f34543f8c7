// A list of the main window: drawn cheaply as rows come, following the newest row, copied to the clipboard.
#include "listview.h"

#include "listitemdelegate.h"
#include "listscrollbar.h"
#include "tablemodel.h"
#include "ui/texts.h"

#include <QClipboard>
#include <QContextMenuEvent>
#include <QEvent>
#include <QGuiApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMenu>
#include <QRegion>
#include <QScrollBar>
#include <QSet>
#include <algorithm>

namespace dwellmark::ui {

ListView::ListView(QWidget* parent) : QTableView(parent) {
    setShowGrid(false);
    setWordWrap(false);
    setCornerButtonEnabled(false);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    setTabKeyNavigation(false);
    // The style's item delegate lays each cell's text out five times.
    setItemDelegate(new ListItemDelegate(this));

    QHeaderView* rows = verticalHeader();
    rows->hide();
    rows->setSectionResizeMode(QHeaderView::Fixed);
    rows->setMinimumSectionSize(1);
    rows->setDefaultSectionSize(fontMetrics().height() + 2);

    // The scroll bars change with every row added: they draw only their
    // handle again then, and fill their whole area, so nothing behind them
    // needs drawing again.
    setVerticalScrollBar(new ListScrollBar(Qt::Vertical, this));
    setHorizontalScrollBar(new ListScrollBar(Qt::Horizontal, this));
    for (QScrollBar* bar : {verticalScrollBar(), horizontalScrollBar()}) {
        bar->setAttribute(Qt::WA_OpaquePaintEvent);
        layOutOnlyWhenShownOrHidden(*bar);
    }

    m_showingDue.setSingleShot(true);
    connect(&m_showingDue, &QTimer::timeout, this, &ListView::showChanges);

    QHeaderView* columns = horizontalHeader();
    columns->setStretchLastSection(false);
    columns->setHighlightSections(false);
    columns->setSectionsClickable(false);
    columns->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
}

void ListView::layOutOnlyWhenShownOrHidden(QScrollBar& bar) {
    // Qt lays the list's parts out again after every change of a bar's range,
    // which raises both bars and so draws them again whole, with a row added.
    // The layout changes only when a bar comes or goes (it shows while its
    // range is not empty), so the list asks for it only then.
    if (!disconnect(&bar, SIGNAL(rangeChanged(int, int)), this, SLOT(_q_showOrHideScrollBars()))) {
        return;
    }
    connect(&bar, &QScrollBar::rangeChanged, this,
            [this, shown = bar.minimum() < bar.maximum()](int minimum, int maximum) mutable {
                if ((minimum < maximum) != shown) {
                    shown = minimum < maximum;
                    QMetaObject::invokeMethod(this, &ListView::showOrHideScrollBars, Qt::QueuedConnection);
                }
            });
}

void ListView::showOrHideScrollBars() {
    // A bar that comes or goes changes the viewport and so the rows beyond
    // it: a list at its end stays there.
    const bool follow = atEnd();
    QMetaObject::invokeMethod(this, "_q_showOrHideScrollBars", Qt::DirectConnection);
    if (follow) {
        verticalScrollBar()->setValue(verticalScrollBar()->maximum());
    }
}

void ListView::followRowCount(bool toEnd) {
    // Laying the list out again (which also measures the header) raises both
    // scroll bars and so draws them again whole. Rows added at the end change
    // nothing but the vertical bar's range, which QTableView sets, for rows of
    // one height scrolled row by row, to the rows beyond those the viewport
    // holds whole: nothing while they all fit, and only the range while the
    // bar shows. The layout is needed only when the bar comes.
    QScrollBar& bar = *verticalScrollBar();
    const int rows = model()->rowCount();
    const int height = verticalHeader()->defaultSectionSize();
    if (verticalScrollMode() != ScrollPerItem || height <= 0 || !isVisible()) {
        updateGeometries();
        return;
    }
    const int whole = viewport()->height() / height;
    if (!bar.isVisible() || bar.minimum() >= bar.maximum()) {
        if (rows > whole) {
            updateGeometries();
        }
        return;
    }
    const int maximum = rows - std::clamp(whole, 1, rows);
    if (auto* listBar = qobject_cast<ListScrollBar*>(&bar)) {
        listBar->setRangeFollowing(0, maximum, toEnd);
    } else {
        bar.setRange(0, maximum);
    }
}

void ListView::reset() {
    m_fullLayout = true;
    m_changedCells.clear();
    QTableView::reset();
}

void ListView::setModel(QAbstractItemModel* model) {
    QTableView::setModel(model);
    followTableWhileShown();
}

void ListView::setVisible(bool visible) {
    QTableView::setVisible(visible);
    followTableWhileShown();
}

void ListView::followTableWhileShown() {
    // A list hidden on purpose draws nothing until it is shown, when it is
    // laid out afresh anyway: the table's changes cost it nothing meanwhile.
    // (A child not yet shown with its window is hidden too, but not on purpose.)
    const bool hiddenOnPurpose = isHidden() && testAttribute(Qt::WA_WState_ExplicitShowHide);
    if (auto* table = qobject_cast<TableModel*>(model())) {
        table->setFollowing(!hiddenOnPurpose);
    }
}

void ListView::changeEvent(QEvent* event) {
    if (event->type() == QEvent::FontChange) {
        // One line of text per row, whatever the font.
        verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 2);
    }
    QTableView::changeEvent(event);
}

void ListView::keyPressEvent(QKeyEvent* event) {
    // Qt's own copy takes the current cell alone.
    if (event->matches(QKeySequence::Copy)) {
        copySelection();
        event->accept();
        return;
    }
    QTableView::keyPressEvent(event);
}

void ListView::contextMenuEvent(QContextMenuEvent* event) {
    auto* menu = new QMenu(this);
    menu->setAttribute(Qt::WA_DeleteOnClose);
    QAction* copy = menu->addAction(QString::fromUtf8(texts::copyCaption), this, &ListView::copySelection);
    copy->setShortcut(QKeySequence::Copy);
    // Shown beside it whatever the style's habit, as the Windows front end shows it.
    copy->setShortcutVisibleInContextMenu(true);
    copy->setEnabled(selectionModel() != nullptr && selectionModel()->hasSelection());
    QAction* copyAll = menu->addAction(QString::fromUtf8(texts::copyAllCaption), this, &ListView::copyAll);
    copyAll->setEnabled(model() != nullptr && model()->rowCount() > 0);
    QPoint at = event->globalPos();
    if (event->reason() == QContextMenuEvent::Keyboard && currentIndex().isValid()) {
        // From the keyboard: below the current row rather than where the pointer happens to be.
        at = viewport()->mapToGlobal(visualRect(currentIndex()).bottomLeft());
    }
    // Not exec(): the menu's own event loop would hold up whoever opened it.
    menu->popup(at);
    event->accept();
}

void ListView::copySelection() {
    const auto* table = qobject_cast<const TableModel*>(model());
    if (table == nullptr || selectionModel() == nullptr) {
        return;
    }
    QSet<int> unique;
    for (const QModelIndex& index : selectionModel()->selectedIndexes()) {
        unique.insert(index.row());
    }
    if (unique.isEmpty()) {
        return;
    }
    QList<int> rows(unique.begin(), unique.end());
    std::sort(rows.begin(), rows.end());
    QGuiApplication::clipboard()->setText(table->copiedRows(rows));
}

void ListView::copyAll() {
    if (const auto* table = qobject_cast<const TableModel*>(model())) {
        QGuiApplication::clipboard()->setText(table->copiedTable());
    }
}

bool ListView::atEnd() const {
    const QScrollBar* bar = verticalScrollBar();
    return bar->value() >= bar->maximum();
}

void ListView::rowsInserted(const QModelIndex& parent, int start, int end) {
    if (!parent.isValid()) {
        m_firstAppended = m_firstAppended < 0 ? start : std::min(m_firstAppended, start);
    }
    QTableView::rowsInserted(parent, start, end);
    // Qt lays the rows out at a later turn of the event loop, which would show
    // them apart from the other lists' changes of the same tick.
    if (!m_fullLayout && m_firstAppended >= 0) {
        scheduleShowing();
    }
}

void ListView::rowsAboutToBeRemoved(const QModelIndex& parent, int start, int end) {
    m_fullLayout = true;
    QTableView::rowsAboutToBeRemoved(parent, start, end);
}

void ListView::dataChanged(const QModelIndex& topLeft, const QModelIndex& bottomRight, const QList<int>& roles) {
    if (!topLeft.isValid() || topLeft != bottomRight || m_fullLayout) {
        QTableView::dataChanged(topLeft, bottomRight, roles);
        return;
    }
    m_changedCells.append(QPoint(topLeft.column(), topLeft.row()));
    scheduleShowing();
}

void ListView::doItemsLayout() {
    if (m_fullLayout || m_firstAppended < 0) {
        m_fullLayout = false;
        m_firstAppended = -1;
        m_changedCells.clear();
        m_showingDue.stop();
        QTableView::doItemsLayout();
        return;
    }
    scheduleShowing();
}

void ListView::scheduleShowing() {
    if (m_showingDue.isActive()) {
        return;
    }
    // The first change after a quiet spell shows at the next turn of the event
    // loop, together with everything else the same tick changed; changes that
    // follow close behind wait for the next showing.
    const qint64 since = m_sinceShown.isValid() ? m_sinceShown.elapsed() : showInterval;
    m_showingDue.start(since >= showInterval ? 0 : static_cast<int>(showInterval - since));
}

void ListView::showChanges() {
    m_showingDue.stop();
    m_sinceShown.start();
    QRegion dirty;
    if (m_firstAppended >= 0) {
        // The scroll bar still has the range of the rows before: a list at its
        // end follows the new rows, one scrolled up stays where the user left it.
        const bool follow = atEnd();
        // The scroll bars follow the new count; the new rows are drawn, if
        // they show. Below them the list was empty and stays so.
        followRowCount(follow);
        if (follow) {
            verticalScrollBar()->setValue(verticalScrollBar()->maximum());
        }
        const int last = model()->rowCount() - 1;
        const int top = std::max(0, rowViewportPosition(m_firstAppended));
        const int bottom = std::min(viewport()->height(), rowViewportPosition(last) + rowHeight(last));
        if (last >= m_firstAppended && top < bottom) {
            dirty += QRect(0, top, viewport()->width(), bottom - top);
        }
        m_firstAppended = -1;
    }
    for (const QPoint& cell : std::as_const(m_changedCells)) {
        dirty += visualRect(model()->index(cell.y(), cell.x()));
    }
    m_changedCells.clear();
    if (!dirty.isEmpty()) {
        viewport()->update(dirty);
    }
}

} // namespace dwellmark::ui
