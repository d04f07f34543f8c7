// The list of the main window: what it draws when rows come and go, whether it follows them, and its rows' height.
#include "qtgtest.h"
#include "tracking/activitytables.h"
#include "ui/layout.h"
#include "ui/qt/listview.h"
#include "ui/qt/tablemodel.h"

#include <QCursor>
#include <QHeaderView>
#include <QPaintEvent>
#include <QRegion>
#include <QScreen>
#include <QScrollBar>
#include <QSignalSpy>

using dwellmark::ActivityTable;
using dwellmark::LogColumn;
using dwellmark::ui::ListView;
using dwellmark::ui::TableModel;

namespace {

/// Collects what a widget is asked to draw.
class PaintRecorder final : public QObject {
public:
    explicit PaintRecorder(QWidget* widget) { widget->installEventFilter(this); }

    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Paint) {
            painted += static_cast<QPaintEvent*>(event)->region();
        }
        return false;
    }

    QRegion painted;
};

/// A table shown in a list of the given size through its model, as the main
/// window shows its tables.
struct ShownTable {
    ShownTable(ActivityTable (*makeTable)(), QSize size) : table(makeTable()), model(table) {
        model.attachTo(view);
        view.resize(size);
    }

    /// Shows the list and lets the window manager's activation and the first
    /// drawing pass, so that what is drawn afterwards comes from the test alone.
    bool showSettled() {
        view.show();
        const bool active = QTest::qWaitForWindowActive(&view, 120000);
        QTest::qWait(100);
        return active;
    }

    /// Adds the usage-log rows "Window from" up to "Window end", the end left out.
    void appendLogRows(int from, int end) {
        for (int n = from; n < end; ++n) {
            const std::size_t row = table.addRow("app");
            table.setText(row, LogColumn::WindowTitle, "Window " + std::to_string(n));
        }
    }

    /// Whether the row lies wholly in the list's viewport.
    bool rowShows(int row) const { return view.viewport()->rect().contains(view.visualRect(model.index(row, 0))); }

    /// The text the list shows where the cell should be drawn.
    QString shownAt(int row, int column) const {
        return view.indexAt(view.visualRect(model.index(row, column)).center()).data().toString();
    }

    ActivityTable table;
    TableModel model;
    ListView view;
};

/// Whether the screen shows the bar as a QScrollBar of Qt's own, in the same
/// state, draws it.
bool showsAsQtDraws(const QScrollBar& bar) {
    QWidget& window = *bar.window();
    const QPoint at = bar.mapTo(&window, QPoint(0, 0));
    const QImage shown =
        bar.screen()->grabWindow(window.winId(), at.x(), at.y(), bar.width(), bar.height()).toImage();
    QScrollBar qtBar(bar.orientation(), &window);
    qtBar.setGeometry(QRect(at, bar.size()));
    qtBar.setRange(bar.minimum(), bar.maximum());
    qtBar.setPageStep(bar.pageStep());
    qtBar.setValue(bar.value());
    const QImage drawn = qtBar.grab().toImage();
    return shown.convertToFormat(QImage::Format_RGB32) == drawn.convertToFormat(QImage::Format_RGB32);
}

} // namespace

TEST(ListView, RowsAddedBelowTheVisiblePartDrawNothingInTheList) {
    ShownTable shown(dwellmark::makeUsageLog, QSize(400, 200));
    ListView& view = shown.view;
    shown.appendLogRows(0, 40);
    ASSERT_TRUE(shown.showSettled());
    view.scrollToTop();
    const int rangeBefore = view.verticalScrollBar()->maximum();
    QCoreApplication::sendPostedEvents();

    PaintRecorder recorder(view.viewport());
    shown.appendLogRows(40, 41);
    DWELLMARK_TRY_EXPECT_TRUE(view.verticalScrollBar()->maximum() > rangeBefore);
    QTest::qWait(50);
    EXPECT_TRUE(recorder.painted.isEmpty()) << "the list was drawn again for a row it does not show";

    // The new row is there to scroll to.
    view.scrollToBottom();
    DWELLMARK_TRY_EXPECT_EQ(view.indexAt(QPoint(5, view.viewport()->height() - 3)).row(), 40);
    EXPECT_EQ(view.model()->index(40, 1).data().toString(), QStringLiteral("Window 40"));
}

TEST(ListView, RowsAddedInTheVisiblePartAreDrawn) {
    ShownTable shown(dwellmark::makeUsageLog, QSize(400, 300));
    shown.appendLogRows(0, 1);
    ASSERT_TRUE(shown.showSettled());

    PaintRecorder recorder(shown.view.viewport());
    shown.appendLogRows(1, 2);
    const QRect second = shown.view.visualRect(shown.model.index(1, 1));
    ASSERT_TRUE(second.isValid());
    DWELLMARK_TRY_EXPECT_TRUE(recorder.painted.contains(second.center()));
    // Rows above the new one were not drawn again.
    EXPECT_FALSE(recorder.painted.contains(shown.view.visualRect(shown.model.index(0, 1)).center()));
}

TEST(ListView, RemovedRowsLeaveTheListWhole) {
    ShownTable shown(dwellmark::makeOpenIntervalTable, QSize(400, 300));
    for (const char* handle : {"101", "202", "303"}) {
        shown.table.addRow(handle);
    }
    ASSERT_TRUE(shown.showSettled());

    PaintRecorder recorder(shown.view.viewport());
    shown.table.removeRow(1);
    shown.table.addRow("404");
    DWELLMARK_TRY_EXPECT_TRUE(recorder.painted.contains(shown.view.visualRect(shown.model.index(0, 0)).center()));
    EXPECT_EQ(shown.shownAt(0, 0), QStringLiteral("202"));
    EXPECT_EQ(shown.shownAt(2, 0), QStringLiteral("404"));
}

// A list hidden on purpose (as the open stretches are) costs nothing per
// change of its table, and shows the table as it is once shown again.
TEST(ListView, AHiddenListCatchesUpWhenShown) {
    ShownTable shown(dwellmark::makeOpenIntervalTable, QSize(400, 300));
    ActivityTable& open = shown.table;
    open.addRow("101");
    ASSERT_TRUE(shown.showSettled());
    shown.view.hide();
    QSignalSpy told(&shown.model, &QAbstractItemModel::rowsInserted);
    QSignalSpy changed(&shown.model, &QAbstractItemModel::dataChanged);
    open.addRow({"202", "editor", "Notes"});
    open.removeRow(1);
    open.addRow("303");
    open.setText(1, dwellmark::OpenColumn::WindowTitle, "Renamed");
    EXPECT_EQ(told.count() + changed.count(), 0);

    shown.view.show();
    EXPECT_EQ(shown.view.model()->rowCount(), 2);
    DWELLMARK_TRY_EXPECT_EQ(shown.shownAt(0, 2), QStringLiteral("Renamed"));
    EXPECT_EQ(shown.shownAt(1, 0), QStringLiteral("303"));
}

// At its end a list follows new rows; scrolled up, it stays.
TEST(ListView, FollowsNewRowsOnlyFromItsEnd) {
    ShownTable shown(dwellmark::makeUsageLog, QSize(400, 200));
    QScrollBar& bar = *shown.view.verticalScrollBar();
    ASSERT_TRUE(shown.showSettled());
    shown.appendLogRows(0, 40);
    DWELLMARK_TRY_EXPECT_TRUE(shown.rowShows(39));
    bar.setValue(3);
    const int rangeBefore = bar.maximum();
    shown.appendLogRows(40, 41);
    DWELLMARK_TRY_EXPECT_TRUE(bar.maximum() > rangeBefore);
    EXPECT_EQ(bar.value(), 3);
}

TEST(ListView, KeepsFollowingNewRowsWhenItsScrollBarComes) {
    // The usage log as the main window shows it: the bar's coming changes
    // how many rows lie beyond the viewport.
    namespace layout = dwellmark::ui::layout;
    const layout::Rect& rect = layout::controlLayout(layout::Control::usageLog).rect;
    ShownTable shown(dwellmark::makeUsageLog, QSize(rect.width, rect.height));
    QFont font(QString::fromLatin1(layout::listFont.face));
    font.setPointSizeF(layout::listFont.points);
    font.setBold(layout::listFont.bold);
    shown.view.setFont(font);
    ASSERT_TRUE(shown.showSettled());
    for (int i = 0; i < 20; ++i) {
        shown.appendLogRows(i, i + 1);
        DWELLMARK_TRY_ASSERT_TRUE(shown.rowShows(i));
    }
    EXPECT_TRUE(shown.view.verticalScrollBar()->isVisible());
    // What the screen shows after drawing only the new rows is what the
    // list draws afresh.
    QCoreApplication::sendPostedEvents();
    QWidget& viewport = *shown.view.viewport();
    const QPoint at = viewport.mapTo(&shown.view, QPoint(0, 0));
    const QImage screen = shown.view.screen()
                              ->grabWindow(shown.view.winId(), at.x(), at.y(), viewport.width(), viewport.height())
                              .toImage();
    const QImage afresh = viewport.grab().toImage();
    EXPECT_EQ(screen.convertToFormat(QImage::Format_RGB32), afresh.convertToFormat(QImage::Format_RGB32));
}

/// Scrolled up (true), or following its end.
class ListViewScrolledUp : public ::testing::TestWithParam<bool> {};

TEST_P(ListViewScrolledUp, ALongerListKeepsItsScrollBarRight) {
    const bool scrolledUp = GetParam();
    ShownTable shown(dwellmark::makeUsageLog, QSize(400, 400));
    QCursor::setPos(shown.view.screen()->geometry().bottomRight()); // the bar as it looks without the mouse
    shown.appendLogRows(0, 10);
    ASSERT_TRUE(shown.showSettled());
    QScrollBar& bar = *shown.view.verticalScrollBar();
    // The bar comes once the rows no longer fit.
    shown.appendLogRows(10, 30);
    DWELLMARK_TRY_EXPECT_TRUE(bar.isVisible());
    if (scrolledUp) {
        bar.setValue(0); // scrolled up to read: the handle stays at the top
    }
    // The screen shows the handle where it is now, drawn as Qt draws it,
    // also where only part of the bar was drawn again.
    for (int i = 30; i < 33; ++i) {
        const int range = bar.maximum();
        shown.appendLogRows(i, i + 1);
        DWELLMARK_TRY_ASSERT_TRUE(bar.maximum() > range);
        DWELLMARK_TRY_EXPECT_TRUE(showsAsQtDraws(bar)) << "after row " << i;
    }
    EXPECT_EQ(bar.value(), scrolledUp ? 0 : bar.maximum());
    // The range is the one a full layout of the list gives.
    const std::pair range{bar.maximum(), bar.pageStep()};
    EXPECT_TRUE(QMetaObject::invokeMethod(&shown.view, "updateGeometries"));
    EXPECT_EQ((std::pair{bar.maximum(), bar.pageStep()}), range);
}

INSTANTIATE_TEST_SUITE_P(, ListViewScrolledUp, ::testing::Bool(), [](const ::testing::TestParamInfo<bool>& tested) {
    return tested.param ? "scrolled_up" : "following_its_end";
});

TEST(ListView, OneLineOfTextPerRow) {
    ListView view;
    QFont font(QStringLiteral("Arial"));
    font.setPointSize(9);
    font.setBold(true);
    view.setFont(font);
    EXPECT_EQ(view.verticalHeader()->defaultSectionSize(), QFontMetrics(font).height() + 2);
    EXPECT_FALSE(view.verticalHeader()->isVisible());
    EXPECT_FALSE(view.showGrid());
}
