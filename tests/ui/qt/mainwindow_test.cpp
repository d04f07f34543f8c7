// The main window on a private X server, with a fake desktop behind its tracker.
#include "centredwindow.h"
#include "expectedlayout.h"
#include "fakes.h"
#include "qtgtest.h"
#include "tablecells.h"
#include "testdesktop.h"
#include "tracking/activitytracker.h"
#include "ui/qt/applicationnames.h"
#include "ui/qt/chartwindow.h"
#include "ui/qt/listview.h"
#include "ui/qt/mainwindow.h"

#include <QAccessible>
#include <QApplication>
#include <QBarSeries>
#include <QBarSet>
#include <QCheckBox>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QFile>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPushButton>
#include <QScopeGuard>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <array>
#include <atomic>
#include <functional>
#include <future>
#include <memory>
#include <utility>

using dwellmark::ActivityTracker;
using dwellmark::testing::FakeClock;
using dwellmark::testing::FakeWindowSystem;
using dwellmark::ui::ChartWindow;
using dwellmark::ui::ListView;
using dwellmark::ui::MainWindow;
using dwellmark::ui::MousePointer;
using dwellmark::ui::testing::showCentred;
namespace expected = dwellmark::testing::expected;

namespace {

/// The main window's controls in the order of the expected layout, which is the tab order.
QList<QWidget*> controlsOf(MainWindow& form) {
    return {form.usageLog(), form.totals(), form.openStretches(), form.displayChartBox(), form.hideMeBox()};
}

QRect rectOf(const expected::Control& control) {
    return {control.left, control.top, control.width, control.height};
}

/// The chart's bars, left to right, each as its title and its value.
QStringList barsOf(const ChartWindow& chart) {
    QStringList bars;
    for (const QBarSet* set : chart.barSeries()->barSets()) {
        bars << QStringLiteral("%1 %2").arg(set->label()).arg(set->at(0));
    }
    return bars;
}

} // namespace

/// The main window over a fake desktop and clock, and watches for the modal
/// windows it opens.
class MainWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_folder.isValid());
        m_windows = std::make_unique<FakeWindowSystem>();
        m_clock = std::make_unique<FakeClock>();
        m_tracker = std::make_unique<ActivityTracker>(*m_windows, *m_clock);
        m_watches = std::make_unique<QObject>();
        // The real pointer waits in the screen's corner, off every centred
        // window: a window mapped under it would get real pointer events that
        // race the moves a test makes.
        QCursor::setPos(0, 0);
        QCoreApplication::processEvents();
    }

    void TearDown() override {
        m_watches.reset();
        // A modal window left open by a failed step is closed here, and fails the test.
        if (QWidget* modal = QApplication::activeModalWidget()) {
            modal->close();
            ADD_FAILURE() << "a modal window was left open";
        }
        m_tracker.reset();
    }

    // Runs a step once the next modal window is up (inside its own event loop
    // when it has one), if it is a Kind. A watch that never fires ends with its test.
    template <class Kind>
    void whenModal(std::function<void(Kind*)> step) {
        auto* poll = new QTimer(m_watches.get());
        QObject::connect(poll, &QTimer::timeout, [poll, step = std::move(step)] {
            if (QWidget* modal = QApplication::activeModalWidget(); modal != nullptr && modal->isVisible()) {
                poll->stop();
                poll->deleteLater();
                if (auto* ofKind = qobject_cast<Kind*>(modal)) {
                    step(ofKind);
                }
            }
        });
        poll->start(10);
        // A step that does not close its window would leave the test waiting for ever.
        QTimer::singleShot(10000, m_watches.get(), [] {
            if (QWidget* modal = QApplication::activeModalWidget()) {
                modal->close();
            }
        });
    }

    // The chart opens after the click that asks for it has returned: waits
    // until every step of whenModal has run and no modal window is open.
    bool modalStepsDone() {
        return QTest::qWaitFor([this] { return m_watches->children().isEmpty() && !QApplication::activeModalWidget(); },
                               60000);
    }

    /// The main window on the test's folder.
    std::unique_ptr<MainWindow> makeForm(const QString& notice = {}, dwellmark::ui::NoticeOffer offer = {}) {
        return std::make_unique<MainWindow>(*m_tracker, *m_windows, m_folder.path(),
                                            dwellmark::TickSource::DesktopEvents, notice, std::move(offer));
    }

    /// A pointer move over a widget, as the window system delivers it. It is
    /// sent straight to the widget rather than by warping the real pointer,
    /// whose events arrive late and out of step on a loaded machine.
    static void moveOver(QWidget* widget, QPoint position) {
        QMouseEvent move(QEvent::MouseMove, position, widget->mapToGlobal(position), Qt::NoButton, Qt::NoButton,
                         Qt::NoModifier);
        QApplication::sendEvent(widget, &move);
    }

    // The foreground moves to a window of the fake desktop, and the timer sees it.
    void focus(dwellmark::WindowHandle handle, float at) {
        m_clock->now = at;
        m_windows->focus(handle);
    }

    /// The form shown, with "Notes" and "News" on the desktop and "Notes" in front since 10 s.
    std::unique_ptr<MainWindow> showFormWithNotesInFront() {
        m_windows->create(10, "editor", "Notes");
        m_windows->create(11, "browser", "News");
        auto form = makeForm();
        EXPECT_NO_FATAL_FAILURE(showCentred(*form));
        focus(10, 10.0F);
        DWELLMARK_TRY_EXPECT_EQ(m_tracker->lastForeground(), 10);
        return form;
    }

    void addTotalsRow(const std::string& title, const std::string& seconds) {
        dwellmark::testing::addTotal(m_tracker->totals(), "app", title, seconds);
    }

    /// The title of a window as the window manager reads it (_NET_WM_NAME),
    /// empty until the window has one.
    QString wmName(const QWidget& window) {
        return QString::fromStdString(m_desktop.title(static_cast<std::uint32_t>(window.winId())));
    }

    /// The title the window manager reads for the modal window of the given
    /// kind that open brings up; empty when none comes.
    template <class Kind>
    QString wmNameOfModal(const std::function<void()>& open) {
        QString name;
        whenModal<Kind>([&](Kind* modal) {
            DWELLMARK_TRY_WITHIN(30000, !wmName(*modal).isEmpty(), EXPECT_FALSE(wmName(*modal).isEmpty()));
            name = wmName(*modal);
            modal->close();
        });
        open();
        modalStepsDone();
        return name;
    }

    QTemporaryDir m_folder;
    dwellmark::testing::TestDesktop m_desktop;
    std::unique_ptr<FakeWindowSystem> m_windows;
    std::unique_ptr<FakeClock> m_clock;
    std::unique_ptr<ActivityTracker> m_tracker;
    // Owns the watches for modal windows of the running test.
    std::unique_ptr<QObject> m_watches;
};

TEST_F(MainWindowTest, WindowAndLayout) {
    m_tracker->setLoggedSeconds(12);
    auto form = makeForm();
    EXPECT_EQ(form->windowTitle(), QStringLiteral("Dwellmark"));
    EXPECT_EQ(m_tracker->loggedSeconds(), -1);
    EXPECT_EQ(form->size(), QSize(expected::clientWidth, expected::clientHeight));
    EXPECT_EQ(form->minimumSize(), form->maximumSize());
    const Qt::WindowFlags flags = form->windowFlags();
    EXPECT_TRUE(flags & Qt::WindowMinimizeButtonHint);
    EXPECT_TRUE(flags & Qt::WindowCloseButtonHint);
    EXPECT_FALSE(flags & Qt::WindowMaximizeButtonHint);
    EXPECT_FALSE(flags & Qt::WindowStaysOnTopHint);
    EXPECT_EQ(form->palette().color(QPalette::Window), QColor(Qt::white));
    const QImage icon = form->windowIcon().pixmap(32, 32).toImage();
    ASSERT_EQ(icon.size(), QSize(32, 32));
    for (int y = 0; y < 32; ++y) {
        for (int x = 0; x < 32; ++x) {
            ASSERT_EQ(qAlpha(icon.pixel(x, y)), 0) << "at " << x << "," << y;
        }
    }

    EXPECT_EQ(form->displayChartBox()->text(), QStringLiteral("Display Chart"));
    EXPECT_EQ(form->hideMeBox()->text(), QStringLiteral("Hide Me"));
    EXPECT_FALSE(form->hideMeBox()->isChecked());
    EXPECT_FALSE(form->displayChartBox()->isChecked());

    const std::pair<QWidget*, double> fonts[] = {
        {form->usageLog(), 9.0}, {form->totals(), 9.0}, {form->hideMeBox(), 11.25}, {form->displayChartBox(), 11.25}};
    for (const auto& [control, points] : fonts) {
        EXPECT_EQ(control->font().family(), QStringLiteral("Arial"));
        EXPECT_EQ(control->font().pointSizeF(), points);
        EXPECT_TRUE(control->font().bold());
        // Arial itself, or a face with Arial's metrics in its place.
        const QString face = QFontInfo(control->font()).family();
        EXPECT_TRUE(face == "Arial" || face == "Liberation Sans") << face;
    }

    ASSERT_NO_FATAL_FAILURE(showCentred(*form));
    for (std::size_t i = 0; i < expected::mainWindowControls.size(); ++i) {
        EXPECT_EQ(controlsOf(*form).at(i)->geometry(), rectOf(expected::mainWindowControls.at(i))) << i;
        EXPECT_EQ(controlsOf(*form).at(i)->isVisible(), expected::mainWindowControls.at(i).shown) << i;
    }
    EXPECT_FALSE(form->notice()->isVisible());
    EXPECT_EQ(form->usageLog()->model()->rowCount(), 0);
    EXPECT_EQ(form->totals()->model()->rowCount(), 0);
    // The check boxes are painted white beside their captions, as the window is.
    for (QCheckBox* box : {form->hideMeBox(), form->displayChartBox()}) {
        const QImage painted = box->grab().toImage();
        for (const int y : {2, painted.height() / 2, painted.height() - 3}) {
            EXPECT_EQ(QColor(painted.pixel(painted.width() - 3, y)), QColor(Qt::white));
        }
    }
}

TEST_F(MainWindowTest, HeadersAndColumns) {
    auto form = makeForm();
    const std::array<ListView*, 3> views{form->usageLog(), form->totals(), form->openStretches()};
    for (std::size_t v = 0; v < views.size(); ++v) {
        const expected::List& list = expected::mainWindowLists.at(v);
        QAbstractItemModel* model = views.at(v)->model();
        EXPECT_EQ(static_cast<std::size_t>(model->columnCount()), list.headers.size());
        for (std::size_t i = 0; i < list.headers.size(); ++i) {
            const int column = static_cast<int>(i);
            EXPECT_EQ(model->headerData(column, Qt::Horizontal).toString(), QString::fromStdString(list.headers.at(i)));
            EXPECT_EQ(views.at(v)->isColumnHidden(column), list.widths.at(i) == 0);
            if (list.widths.at(i) != 0) {
                EXPECT_EQ(views.at(v)->header()->sectionSize(column), list.widths.at(i));
            }
        }
    }
}

TEST_F(MainWindowTest, TabOrderAndFocus) {
    auto form = makeForm();
    QWidget* next = form->usageLog();
    QList<QWidget*> order;
    for (int i = 0; i < 5; ++i) {
        order << next;
        next = next->nextInFocusChain();
        while (next != nullptr && next->focusPolicy() == Qt::NoFocus) {
            next = next->nextInFocusChain();
        }
    }
    EXPECT_EQ(order, controlsOf(*form));
    ASSERT_NO_FATAL_FAILURE(showCentred(*form));
    // The window manager may leave a new window of a test without the focus.
    form->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(form.get(), 120000));
    EXPECT_EQ(QApplication::focusWidget(), form->usageLog());
}

TEST_F(MainWindowTest, CentredByItsOuterFrame) {
    auto form = makeForm();
    // The window manager's frame makes the outer size larger than the client area.
    ASSERT_NO_FATAL_FAILURE(showCentred(*form));
}

TEST_F(MainWindowTest, ShowsWhatTheTrackerLogs) {
    m_windows->create(10, "editor", "Notes");
    m_windows->create(11, "browser", "News");
    auto form = makeForm();
    EXPECT_TRUE(form->tickTimer().isActive());
    EXPECT_EQ(form->tickTimer().interval(), 1);
    EXPECT_EQ(form->tickTimer().timerType(), Qt::PreciseTimer);
    EXPECT_EQ(m_tracker->mainWindow(), static_cast<dwellmark::WindowHandle>(form->winId()));
    form->show();
    focus(10, 100.0F);
    DWELLMARK_TRY_EXPECT_EQ(m_tracker->lastForeground(), 10);
    focus(11, 103.0F);
    DWELLMARK_TRY_EXPECT_EQ(form->usageLog()->model()->rowCount(), 1);
    const QAbstractItemModel* log = form->usageLog()->model();
    EXPECT_EQ(log->index(0, 0).data().toString(), QStringLiteral("editor"));
    EXPECT_EQ(log->index(0, 1).data().toString(), QStringLiteral("Notes"));
    EXPECT_EQ(log->index(0, 4).data().toString(), QStringLiteral("00:00:00 - 00:00:03"));
    EXPECT_EQ(log->index(0, 5).data().toString(), QStringLiteral("3"));
    EXPECT_EQ(form->totals()->model()->index(0, 2).data().toString(), QStringLiteral("00:00:03"));
    // The window itself is never followed.
    focus(static_cast<dwellmark::WindowHandle>(form->winId()), 104.0F);
    DWELLMARK_TRY_EXPECT_EQ(m_tracker->usageLog().rowCount(), std::size_t{2});
    EXPECT_EQ(m_tracker->openStretches().rowCount(), std::size_t{2});
}

TEST_F(MainWindowTest, TitlesAsTheWindowManagerSeesThem) {
    // As the program names itself.
    dwellmark::ui::nameApplication("0");
    m_windows->create(10, "editor", "Notes");
    addTotalsRow("First", "5");
    auto form = makeForm();
    ASSERT_NO_FATAL_FAILURE(showCentred(*form));
    DWELLMARK_TRY_WITHIN(30000, (wmName(*form)) == (QStringLiteral("Dwellmark")),
                         EXPECT_EQ(wmName(*form), QStringLiteral("Dwellmark")));

    EXPECT_EQ(wmNameOfModal<ChartWindow>([&] { form->displayChartBox()->click(); }), QStringLiteral("Chart"));
    EXPECT_EQ(wmNameOfModal<QMessageBox>([&] { form->hideMeBox()->click(); }), QStringLiteral("Dwellmark"));
}

TEST_F(MainWindowTest, ScreenReadersSeeTheShownControlsOnly) {
    auto form = makeForm();
    ASSERT_NO_FATAL_FAILURE(showCentred(*form));
    QAccessibleInterface* window = QAccessible::queryAccessibleInterface(form.get());
    ASSERT_NE(window, nullptr);
    QList<QObject*> children;
    for (int i = 0; i < window->childCount(); ++i) {
        QAccessibleInterface* child = window->child(i);
        ASSERT_NE(child, nullptr);
        EXPECT_EQ(window->indexOfChild(child), i);
        children << child->object();
    }
    EXPECT_EQ(children.size(), 4);
    for (std::size_t i = 0; i < expected::mainWindowControls.size(); ++i) {
        EXPECT_EQ(children.contains(controlsOf(*form).at(i)), expected::mainWindowControls.at(i).shown) << i;
    }
}

TEST_F(MainWindowTest, ANoticeShowsBelowTheControlsOnlyWhenGiven) {
    const QString text = QStringLiteral("GNOME Shell runs without Dwellmark's extension (install and enable the "
                                        "extension, then log out and in): only the windows of X11 programs "
                                        "(Xwayland) are seen");
    auto form = makeForm(text);
    ASSERT_NO_FATAL_FAILURE(showCentred(*form));
    EXPECT_TRUE(form->notice()->isVisible());
    EXPECT_EQ(form->notice()->text(), text);
    // Below the check boxes, inside the client area, which grows for it alone.
    const QRect notice = form->notice()->geometry();
    EXPECT_GE(notice.top(), form->displayChartBox()->geometry().bottom());
    EXPECT_TRUE(form->rect().contains(notice));
    EXPECT_EQ(form->width(), expected::clientWidth);
    EXPECT_GT(form->height(), expected::clientHeight);
    EXPECT_EQ(form->minimumSize(), form->maximumSize());
    for (std::size_t i = 0; i < expected::mainWindowControls.size(); ++i) {
        if (expected::mainWindowControls.at(i).shown) {
            EXPECT_EQ(controlsOf(*form).at(i)->geometry(), rectOf(expected::mainWindowControls.at(i)));
        }
    }
    // The whole text fits in the strip.
    EXPECT_LE(form->notice()->heightForWidth(notice.width()), notice.height());
    EXPECT_EQ(QAccessible::queryAccessibleInterface(form.get())->childCount(), 5);

    // Without one: the window as it always is (and screen readers see 4 controls).
    auto plain = makeForm();
    EXPECT_TRUE(plain->notice()->isHidden());
    EXPECT_EQ(plain->size(), QSize(559, 562));
}

TEST_F(MainWindowTest, ANoticeOffersItsRemedyAndGoesOnceItWorked) {
    const QString text = QStringLiteral("Dwellmark's GNOME Shell extension is installed but not enabled "
                                        "(gnome-extensions enable dwellmark@dwellmark.org): only the windows of "
                                        "X11 programs (Xwayland) are seen");
    const QString failed = QStringLiteral("GNOME Shell did not turn Dwellmark's extension on");
    std::atomic<int> clicks = 0;
    // The first step waits, as GNOME Shell makes it wait, until the test lets it go on.
    std::promise<void> shellAnswers;
    auto answered = shellAnswers.get_future().share();
    auto form = makeForm(text, {QStringLiteral("Enable the extension"),
                                [&clicks, answered, failed]() -> std::function<QString()> {
                                    answered.wait();
                                    return [next = ++clicks == 1 ? failed : QString()] { return next; };
                                },
                                QStringLiteral("GNOME Shell is turning the extension on")});
    // A failed check must not leave the window waiting for the step at its close.
    bool released = false;
    const auto release = qScopeGuard([&] {
        if (!released) {
            shellAnswers.set_value();
        }
    });
    ASSERT_NO_FATAL_FAILURE(showCentred(*form));
    EXPECT_TRUE(form->noticeOffer()->isVisible());
    EXPECT_EQ(form->noticeOffer()->text(), QStringLiteral("Enable the extension"));
    // Beside the notice, in the strip, and the whole text still fits.
    const QRect notice = form->notice()->geometry();
    EXPECT_FALSE(notice.intersects(form->noticeOffer()->geometry()));
    EXPECT_TRUE(form->rect().contains(form->noticeOffer()->geometry()));
    EXPECT_LE(form->notice()->heightForWidth(notice.width()), notice.height());
    EXPECT_EQ(QAccessible::queryAccessibleInterface(form.get())->childCount(), 6);

    // It did not work: the notice says what follows, and the offer stays.
    // While the shell takes its time, the click has returned and the window
    // goes on; a second click does nothing.
    QTest::mouseClick(form->noticeOffer(), Qt::LeftButton);
    EXPECT_FALSE(form->noticeOffer()->isEnabled());
    EXPECT_EQ(form->notice()->text(), QStringLiteral("GNOME Shell is turning the extension on"));
    QTest::mouseClick(form->noticeOffer(), Qt::LeftButton);
    EXPECT_EQ(clicks, 0);
    shellAnswers.set_value();
    released = true;
    DWELLMARK_TRY_EXPECT_EQ(form->notice()->text(), failed);
    EXPECT_EQ(clicks, 1);
    EXPECT_TRUE(form->noticeOffer()->isVisible());
    EXPECT_TRUE(form->noticeOffer()->isEnabled());
    // It worked: the window is as it always is.
    QTest::mouseClick(form->noticeOffer(), Qt::LeftButton);
    DWELLMARK_TRY_EXPECT_TRUE(form->notice()->isHidden());
    EXPECT_EQ(clicks, 2);
    EXPECT_TRUE(form->noticeOffer()->isHidden());
    EXPECT_EQ(form->size(), QSize(559, 562));
    EXPECT_EQ(QAccessible::queryAccessibleInterface(form.get())->childCount(), 4);

    // Without an offer there is no button.
    EXPECT_TRUE(makeForm(text)->noticeOffer()->isHidden());
}

TEST_F(MainWindowTest, HideMeAnswersAndClears) {
    auto form = showFormWithNotesInFront();

    bool answered = false;
    std::size_t rowsWhileOpen = 0;
    whenModal<QMessageBox>([&](QMessageBox* box) {
        answered = true;
        EXPECT_EQ(box->windowTitle(), QStringLiteral("Dwellmark"));
        EXPECT_EQ(box->text(), QStringLiteral("Please email support@dwellmark.org if you would like this feature "
                                              "added (so that user can not see this program running)."));
        EXPECT_EQ(box->text(), MainWindow::hideMeMessage());
        EXPECT_EQ(box->icon(), QMessageBox::NoIcon);
        EXPECT_EQ(box->buttons().size(), 1);
        EXPECT_FALSE(form->hideMeBox()->isChecked());
        // The timer keeps sampling underneath the message.
        focus(11, 14.0F);
        QTimer::singleShot(200, box, [&, box] {
            rowsWhileOpen = m_tracker->usageLog().rowCount();
            box->button(QMessageBox::Ok)->click();
        });
    });
    QTest::mouseClick(form->hideMeBox(), Qt::LeftButton);
    ASSERT_TRUE(modalStepsDone());
    EXPECT_TRUE(answered);
    EXPECT_EQ(rowsWhileOpen, std::size_t{1});
    EXPECT_FALSE(form->hideMeBox()->isChecked());
    EXPECT_TRUE(form->isVisible());

    // Again, by the keyboard: the same answer.
    QString second;
    whenModal<QMessageBox>([&](QMessageBox* box) {
        second = box->text();
        box->button(QMessageBox::Ok)->click();
    });
    form->hideMeBox()->setFocus();
    QTest::keyClick(form->hideMeBox(), Qt::Key_Space);
    ASSERT_TRUE(modalStepsDone());
    EXPECT_EQ(second, MainWindow::hideMeMessage());
    EXPECT_FALSE(form->hideMeBox()->isChecked());
}

TEST_F(MainWindowTest, DisplayChartWithoutTotalsDoesNothing) {
    auto form = makeForm();
    ASSERT_NO_FATAL_FAILURE(showCentred(*form));
    bool opened = false;
    whenModal<QWidget>([&](QWidget* modal) {
        opened = true;
        modal->close();
    });
    QTest::mouseClick(form->displayChartBox(), Qt::LeftButton);
    EXPECT_FALSE(form->displayChartBox()->isChecked());
    QTest::qWait(100);
    EXPECT_FALSE(opened);
    EXPECT_GE(QApplication::topLevelWidgets().count(), 1);
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        EXPECT_TRUE(qobject_cast<ChartWindow*>(widget) == nullptr || !widget->isVisible());
    }
}

TEST_F(MainWindowTest, DisplayChartShowsAFreshSnapshot) {
    addTotalsRow("First", "5");
    addTotalsRow("Second", "7");
    auto form = showFormWithNotesInFront();

    QStringList firstBars;
    QStringList barsAfterTicks;
    std::size_t totalsWhileOpen = 0;
    whenModal<ChartWindow>([&](ChartWindow* chart) {
        EXPECT_EQ(chart->windowTitle(), QStringLiteral("Chart"));
        EXPECT_FALSE(form->displayChartBox()->isChecked());
        firstBars = barsOf(*chart);
        // A stretch is logged while the chart is open; the chart stays as it was.
        focus(11, 20.0F);
        QTimer::singleShot(200, chart, [&, chart] {
            totalsWhileOpen = m_tracker->totals().rowCount();
            barsAfterTicks = barsOf(*chart);
            chart->close();
        });
    });
    QTest::mouseClick(form->displayChartBox(), Qt::LeftButton);
    ASSERT_TRUE(modalStepsDone());
    EXPECT_EQ(firstBars, (QStringList{"First 5", "Second 7"}));
    EXPECT_EQ(totalsWhileOpen, std::size_t{3});
    EXPECT_EQ(barsAfterTicks, firstBars);
    EXPECT_FALSE(form->displayChartBox()->isChecked());

    QStringList secondBars;
    whenModal<ChartWindow>([&](ChartWindow* chart) {
        secondBars = barsOf(*chart);
        QTimer::singleShot(0, chart, [chart] { chart->close(); });
    });
    form->displayChartBox()->setChecked(true);
    ASSERT_TRUE(modalStepsDone());
    EXPECT_EQ(secondBars, (QStringList{"First 5", "Second 7", "Notes 10"}));
    EXPECT_FALSE(form->displayChartBox()->isChecked());
}

TEST_F(MainWindowTest, CheckBoxesAnswerAScreenReaderAtOnce) {
    addTotalsRow("First", "5");
    auto form = makeForm();
    ASSERT_NO_FATAL_FAILURE(showCentred(*form));
    QAccessibleActionInterface* box = QAccessible::queryAccessibleInterface(form->displayChartBox())->actionInterface();
    // A screen reader's Toggle comes back while the chart is open, and modal;
    // again behind it, it opens no second one. (A chart that held the
    // action up would be closed by the watch, and fail.)
    whenModal<QWidget>([](QWidget*) {});
    box->doAction(QAccessibleActionInterface::toggleAction());
    ChartWindow* chart = form->chartWindow();
    ASSERT_TRUE(chart != nullptr && chart->isVisible() && QApplication::activeModalWidget() == chart);
    box->doAction(QAccessibleActionInterface::toggleAction());
    EXPECT_EQ(form->chartWindow(), chart);
    chart->close();
    DWELLMARK_TRY_EXPECT_TRUE(form->chartWindow() == nullptr);

    // "Hide Me" answers the same way: its message is up, the action done.
    QAccessible::queryAccessibleInterface(form->hideMeBox())
        ->actionInterface()
        ->doAction(QAccessibleActionInterface::toggleAction());
    auto* answer = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    ASSERT_TRUE(answer != nullptr && answer->isVisible());
    EXPECT_EQ(answer->text(), MainWindow::hideMeMessage());
    answer->button(QMessageBox::Ok)->click();
    DWELLMARK_TRY_EXPECT_TRUE(QApplication::activeModalWidget() == nullptr);
}

TEST_F(MainWindowTest, ListsCopyTheirShownColumns) {
    addTotalsRow("First", "5");
    addTotalsRow("Second\twith a tab", "7");
    m_tracker->usageLog().addRow("editor");
    auto form = makeForm();
    ASSERT_NO_FATAL_FAILURE(showCentred(*form));
    // Ctrl+C: the selected row alone, without the hidden "Total Seconds".
    form->totals()->selectRow(1);
    QTest::keyClick(form->totals(), Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(QGuiApplication::clipboard()->text(), QStringLiteral("app\tSecond with a tab\t\n"));
    // Each list's context menu, with access keys and Ctrl+C shown beside
    // "Copy"; "Copy All" copies under the headers, by a click or by its key.
    const std::pair<ListView*, QString> lists[] = {
        {form->usageLog(), QStringLiteral("Application\tWindow Title\tTime\tTotal\neditor\t\t\t\n")},
        {form->totals(),
         QStringLiteral("Application\tWindow Title\tTotal Time\napp\tFirst\t\napp\tSecond with a tab\t\n")},
    };
    for (const auto& [list, copied] : lists) {
        // The pointer on the list first, as a user's right click leaves
        // it: Qt 6.8's menus take no click while the program has never
        // seen where the pointer is.
        QTest::mouseMove(list->viewport(), QPoint(9, 9));
        QContextMenuEvent event(QContextMenuEvent::Mouse, QPoint(9, 9), list->viewport()->mapToGlobal(QPoint(9, 9)));
        QApplication::sendEvent(list->viewport(), &event);
        auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        ASSERT_NE(menu, nullptr);
        EXPECT_EQ(menu->actions().at(0)->text() + "|" + menu->actions().at(1)->text(),
                  QStringLiteral("&Copy|Copy &All"));
        EXPECT_EQ(menu->actions().at(0)->shortcut(), QKeySequence(QKeySequence::Copy));
        EXPECT_TRUE(menu->actions().at(0)->isShortcutVisibleInContextMenu());
        ASSERT_TRUE(QTest::qWaitForWindowExposed(menu, 120000));
        if (list == form->usageLog()) {
            QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(menu->actions().at(1)).center());
        } else {
            QTest::keyClick(menu, Qt::Key_A);
        }
        DWELLMARK_TRY_EXPECT_TRUE(QApplication::activePopupWidget() == nullptr);
        EXPECT_EQ(QGuiApplication::clipboard()->text(), copied);
    }
}

TEST_F(MainWindowTest, ClosingEndsTheRun) {
    auto form = makeForm();
    ASSERT_NO_FATAL_FAILURE(showCentred(*form));
    QSignalSpy unloaded(form.get(), &MainWindow::unloaded);
    EXPECT_TRUE(form->close());
    EXPECT_EQ(unloaded.count(), 1);
    EXPECT_FALSE(form->tickTimer().isActive());
}

TEST_F(MainWindowTest, PointerWithAValidCursorFile) {
    ASSERT_TRUE(QFile::copy(QStringLiteral(DWELLMARK_CURSOR_FILE), m_folder.filePath("HAND-M.CUR")));
    auto form = makeForm();
    ASSERT_TRUE(form->customPointer().has_value());
    EXPECT_EQ(form->customPointer()->hotSpot(), QPoint(6, 0));
    ASSERT_NO_FATAL_FAILURE(showCentred(*form));
    EXPECT_EQ(form->mousePointer(), MousePointer::Default);

    moveOver(form->displayChartBox(), QPoint(20, 12));
    DWELLMARK_TRY_EXPECT_EQ(form->mousePointer(), MousePointer::Custom);
    EXPECT_EQ(form->cursor().shape(), Qt::BitmapCursor);
    EXPECT_EQ(form->cursor().hotSpot(), QPoint(6, 0));
    EXPECT_EQ(form->displayChartBox()->cursor().shape(), Qt::BitmapCursor);

    // Straight from "Display Chart" to "Hide Me": the setting stays.
    moveOver(form->hideMeBox(), QPoint(20, 12));
    QTest::qWait(50);
    EXPECT_EQ(form->mousePointer(), MousePointer::Custom);

    // The strip of background between the boxes.
    moveOver(form.get(), QPoint(284, 540));
    DWELLMARK_TRY_EXPECT_EQ(form->mousePointer(), MousePointer::Default);
    EXPECT_EQ(form->cursor().shape(), Qt::ArrowCursor);

    moveOver(form->hideMeBox(), QPoint(30, 12));
    QTest::qWait(50);
    EXPECT_EQ(form->mousePointer(), MousePointer::Default);

    for (ListView* list : {form->usageLog(), form->totals()}) {
        moveOver(form->displayChartBox(), QPoint(20, 12));
        DWELLMARK_TRY_EXPECT_EQ(form->mousePointer(), MousePointer::Custom);
        moveOver(list->viewport(), QPoint(100, 100));
        DWELLMARK_TRY_EXPECT_EQ(form->mousePointer(), MousePointer::Default);
        EXPECT_EQ(list->viewport()->cursor().shape(), Qt::ArrowCursor);
    }

    // Busy is left alone wherever the pointer goes.
    form->setMousePointer(MousePointer::Busy);
    moveOver(form->displayChartBox(), QPoint(25, 12));
    moveOver(form.get(), QPoint(284, 540));
    moveOver(form->usageLog()->viewport(), QPoint(50, 50));
    QTest::qWait(50);
    EXPECT_EQ(form->mousePointer(), MousePointer::Busy);
    EXPECT_EQ(form->cursor().shape(), Qt::WaitCursor);
}

// No cursor file, or one that is no cursor: the window starts without a
// custom pointer, and "Custom" shows the arrow.
/// A cursor file that is not there, one of data made from the shipped
/// cursor, or a folder by the file's name.
struct UnusableCursor {
    enum class Kind { Missing, File, Folder };
    const char* name;
    Kind kind;
    QByteArray (*make)(const QByteArray& cursor) = nullptr;
};

class MainWindowUnusableCursor : public MainWindowTest, public ::testing::WithParamInterface<UnusableCursor> {};

TEST_P(MainWindowUnusableCursor, PointerWithoutAUsableCursorFile) {
    if (GetParam().kind == UnusableCursor::Kind::Folder) {
        ASSERT_TRUE(QDir(m_folder.path()).mkdir("HAND-M.CUR"));
    } else if (GetParam().kind == UnusableCursor::Kind::File) {
        QFile good(QStringLiteral(DWELLMARK_CURSOR_FILE));
        ASSERT_TRUE(good.open(QIODevice::ReadOnly));
        const QByteArray data = GetParam().make(good.readAll());
        QFile file(m_folder.filePath("HAND-M.CUR"));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        EXPECT_EQ(file.write(data), data.size());
    }
    auto form = makeForm();
    EXPECT_FALSE(form->customPointer().has_value());
    EXPECT_EQ(form->windowTitle(), QStringLiteral("Dwellmark"));
    EXPECT_TRUE(form->tickTimer().isActive());
    ASSERT_NO_FATAL_FAILURE(showCentred(*form));
    // From the background onto "Display Chart" (a move to where the pointer already is reports nothing).
    moveOver(form.get(), QPoint(284, 545));
    moveOver(form->displayChartBox(), QPoint(40, 10));
    DWELLMARK_TRY_EXPECT_EQ(form->mousePointer(), MousePointer::Custom);
    EXPECT_EQ(form->cursor().shape(), Qt::ArrowCursor);
}

INSTANTIATE_TEST_SUITE_P(, MainWindowUnusableCursor,
                         ::testing::Values(UnusableCursor{"missing", UnusableCursor::Kind::Missing},
                                           UnusableCursor{"truncated", UnusableCursor::Kind::File,
                                                          [](const QByteArray& cursor) { return cursor.left(100); }},
                                           UnusableCursor{"empty", UnusableCursor::Kind::File,
                                                          [](const QByteArray&) { return QByteArray(); }},
                                           UnusableCursor{"garbage", UnusableCursor::Kind::File,
                                                          [](const QByteArray&) { return QByteArray(500, '\xa5'); }},
                                           UnusableCursor{"huge", UnusableCursor::Kind::File,
                                                          [](const QByteArray& cursor) {
                                                              return cursor + QByteArray(3 * 1024 * 1024, '\x01');
                                                          }},
                                           UnusableCursor{"directory", UnusableCursor::Kind::Folder}),
                         dwellmark::testing::caseName);
