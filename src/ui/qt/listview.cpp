// A list of the main window: drawn cheaply as rows come, following the newest row, copied to the clipboard.
#include "listview.h"

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

    QHeaderView* rows = verticalHeader();
    rows->hide();
    rows->setSectionResizeMode(QHeaderView::Fixed);
    rows->setMinimumSectionSize(1);
    rows->setDefaultSectionSize(fontMetrics().height() + 2);

    // The scroll bars change with every row added; they fill their whole area,
    // so nothing behind them needs drawing again.
    verticalScrollBar()->setAttribute(Qt::WA_OpaquePaintEvent);
    horizontalScrollBar()->setAttribute(Qt::WA_OpaquePaintEvent);

    m_showingDue.setSingleShot(true);
    connect(&m_showingDue, &QTimer::timeout, this, &ListView::showChanges);

    QHeaderView* columns = horizontalHeader();
    columns->setStretchLastSection(false);
    columns->setHighlightSections(false);
    columns->setSectionsClickable(false);
    columns->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
}

void ListView::reset() {
    m_fullLayout = true;
    m_changedCells.clear();
    QTableView::reset();
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
        // The scroll bars follow the new count; rows from the first new one
        // down are drawn, if they show. The scroll bar still has the range of
        // the rows before: a list at its end follows the new rows, one that
        // was scrolled up stays where the user left it.
        const bool follow = atEnd();
        updateGeometries();
        if (follow) {
            verticalScrollBar()->setValue(verticalScrollBar()->maximum());
        }
        const int top = std::max(0, rowViewportPosition(m_firstAppended));
        if (top < viewport()->height()) {
            dirty += QRect(0, top, viewport()->width(), viewport()->height() - top);
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
