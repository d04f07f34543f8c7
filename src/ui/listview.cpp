#include "listview.h"

#include <QEvent>
#include <QHeaderView>
#include <QScrollBar>
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

    QHeaderView* columns = horizontalHeader();
    columns->setStretchLastSection(false);
    columns->setHighlightSections(false);
    columns->setSectionsClickable(false);
    columns->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
}

void ListView::reset() {
    m_fullLayout = true;
    QTableView::reset();
}

void ListView::changeEvent(QEvent* event) {
    if (event->type() == QEvent::FontChange) {
        // One line of text per row, whatever the font.
        verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 2);
    }
    QTableView::changeEvent(event);
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

void ListView::doItemsLayout() {
    const int firstAppended = m_firstAppended;
    const bool full = m_fullLayout || firstAppended < 0;
    m_firstAppended = -1;
    m_fullLayout = false;
    if (full) {
        QTableView::doItemsLayout();
        return;
    }
    // Only rows were added: the scroll bars follow the new count, and only
    // what lies from the first new row down is drawn again, if it shows.
    updateGeometries();
    const int top = std::max(0, rowViewportPosition(firstAppended));
    if (top < viewport()->height()) {
        viewport()->update(0, top, viewport()->width(), viewport()->height() - top);
    }
}

} // namespace dwellmark::ui
