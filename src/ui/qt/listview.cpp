// A list of the main window: drawn cheaply as rows come, following the newest row, copied to the clipboard.
#include "listview.h"

#include "keptscrollbar.h"
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

ListView::ListView(QWidget* parent)
    : QTableView(parent), m_verticalBar(new KeptScrollBar(Qt::Vertical, this)),
      m_horizontalBar(new KeptScrollBar(Qt::Horizontal, this)) {
    setVerticalScrollBar(m_verticalBar);
    setHorizontalScrollBar(m_horizontalBar);
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
    // Where the user scrolls to decides whether new rows are followed.
    connect(verticalScrollBar(), &QScrollBar::valueChanged, this, [this] { m_showsEnd = atEnd(); });

    m_showingDue.setSingleShot(true);
    connect(&m_showingDue, &QTimer::timeout, this, &ListView::showChanges);

    QHeaderView* columns = horizontalHeader();
    columns->setStretchLastSection(false);
    columns->setHighlightSections(false);
    columns->setSectionsClickable(false);
    columns->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
}

void ListView::updateGeometries() {
    // The ranges change here: with rows appended, and with a scroll bar that
    // comes or goes and so changes the viewport. A list that showed its last
    // row keeps showing it; one scrolled up stays where the user left it. A
    // list laid out afresh starts where Qt puts it.
    const bool follow = !m_layingOutAfresh && m_showsEnd;
    const int offset = verticalHeader()->offset();
    const int scrolled = m_scrolledBy;
    // The new range and the scroll to the end are drawn as one change.
    m_verticalBar->hold();
    m_horizontalBar->hold();
    QTableView::updateGeometries();
    if (follow) {
        m_verticalBar->setValue(m_verticalBar->maximum());
    }
    m_horizontalBar->release();
    m_verticalBar->release();
    m_showsEnd = atEnd();
    // With a new range Qt puts the rows at a whole row from the top again
    // (at the end, the last row is at the bottom instead) without moving what
    // the viewport shows; that part of the move is made here, so that the
    // rows on screen stay where they now are and only new ones need drawing.
    if (const int unscrolled = offset - verticalHeader()->offset() - (m_scrolledBy - scrolled); unscrolled != 0) {
        viewport()->scroll(0, unscrolled);
    }
}

void ListView::scrollContentsBy(int dx, int dy) {
    const int offset = verticalHeader()->offset();
    QTableView::scrollContentsBy(dx, dy);
    m_scrolledBy += offset - verticalHeader()->offset();
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
        m_layingOutAfresh = true;
        QTableView::doItemsLayout();
        m_layingOutAfresh = false;
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
        // Rows appended at the end move nothing above them: the scroll bars
        // take the new count, and the new rows are drawn, if they show. Below
        // them the list was empty and stays so. A list that follows them
        // scrolls, which moves what it shows up.
        updateGeometries();
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
