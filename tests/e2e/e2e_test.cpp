// The program on the real X11 backend, in the test's process, and windows of
// another process that take turns in the foreground.
#include "app/qtprogram.h"
#include "platform/platform.h"
#include "qtgtest.h"
#include "tablecells.h"
#include "testdesktop.h"
#include "tracking/activitytables.h"
#include "tracking/activitytracker.h"
#include "tracking/formattime.h"
#include "tracking/textforms.h"
#include "ui/qt/chartwindow.h"
#include "ui/qt/mainwindow.h"
#include "windowfarm.h"

#include <QApplication>
#include <QBarSeries>
#include <QBarSet>
#include <QCheckBox>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTimer>
#include <iostream>
#include <memory>
#include <vector>

namespace dwellmark::testing {
namespace {

// Every wait is for a state; its limit only catches a hang, also on a loaded machine.
constexpr int hangLimitMs = 120000;

/// The program in the test's process, and three windows of another process
/// that it has seen come up; the cases share them, in their order: the
/// chart's case finds what the first one logged.
class EndToEnd : public ::testing::Test {
protected:
    struct Helper {
        QString title;
        WindowHandle window = 0;
    };

    struct Session {
        platform::Desktop desktop;
        WindowSystem* windows = nullptr;
        std::unique_ptr<TimeOfDayClock> clock;
        QTemporaryDir folder;
        std::unique_ptr<app::QtProgram> program;
        ActivityTracker* tracker = nullptr;
        ui::MainWindow* form = nullptr;
        std::unique_ptr<WindowFarm> farm;
        TestDesktop user;
        std::vector<Helper> helpers;

        WindowHandle mainWindow() const { return static_cast<WindowHandle>(form->winId()); }

        /// Asks the window manager to activate the window, again now and
        /// then (it drops a request for a window it has not taken on yet),
        /// until the tracker has seen it in the foreground.
        bool activateSeen(WindowHandle window) {
            for (int waitedMs = 0; waitedMs < hangLimitMs && tracker->lastForeground() != window; waitedMs += 2000) {
                user.requestActivation(static_cast<std::uint32_t>(window));
                static_cast<void>(QTest::qWaitFor([&] { return tracker->lastForeground() == window; }, 2000));
            }
            return tracker->lastForeground() == window;
        }

        /// Starts the program, then the other windows; a fatal failure if one
        /// does not come as it should.
        void start() {
            ASSERT_TRUE(folder.isValid());
            desktop = platform::openDesktop();
            windows = desktop.windows.get();
            clock = platform::createClock();
            program = std::make_unique<app::QtProgram>(*windows, *desktop.changes, *clock, folder.path());
            tracker = &program->tracker();
            form = &program->mainWindow();
            form->show();
            ASSERT_TRUE(QTest::qWaitForWindowExposed(form, hangLimitMs));
            ASSERT_TRUE(activateSeen(mainWindow()));
            DWELLMARK_TRY_EXPECT_EQ(windows->foregroundWindow(), mainWindow());

            // The windows of another process; each is renamed once before it shows.
            const auto idle = [] { QTest::qWait(1); };
            farm = std::make_unique<WindowFarm>();
            for (const char* name : {"Alpha", "Bravo", "Charlie"}) {
                const Helper helper{QStringLiteral("Dwellmark e2e ") + QLatin1String(name),
                                    static_cast<WindowHandle>(farm->create(1, name, idle).front())};
                farm->setTitle(static_cast<std::uint32_t>(helper.window), helper.title.toStdString(), idle);
                const auto found = [&] { return user.findWindow(helper.title.toStdString()); };
                ASSERT_TRUE(QTest::qWaitFor([&] { return found() != 0; }, hangLimitMs)) << helper.title;
                EXPECT_EQ(found(), helper.window);
                helpers.push_back(helper);
            }
            // The new windows did not take the foreground: nothing is recorded yet.
            QTest::qWait(300);
            EXPECT_EQ(windows->foregroundWindow(), mainWindow());
            EXPECT_EQ(tracker->usageLog().rowCount(), std::size_t{0});
            EXPECT_EQ(tracker->openStretches().rowCount(), std::size_t{0});
        }
    };

    // A fatal failure here skips the cases.
    static void SetUpTestSuite() {
        s_session = std::make_unique<Session>();
        s_session->start();
    }

    static void TearDownTestSuite() { s_session.reset(); }

    static inline std::unique_ptr<Session> s_session;
    Session& m_session = *s_session;
};

TEST_F(EndToEnd, LogsTheStretchesOfOtherWindows) {
    const Helper& alpha = m_session.helpers.at(0);
    const Helper& bravo = m_session.helpers.at(1);
    // The main window last: it ends the third stretch.
    const std::pair<WindowHandle, int> steps[] = {
        {alpha.window, 2000}, {bravo.window, 3000}, {alpha.window, 1000}, {m_session.mainWindow(), 0}};
    // How long each stretch really lasted, from the tick that saw it begin
    // to the one that saw it end: on a loaded machine more than the pause.
    std::vector<double> lasted;
    QElapsedTimer stretch;
    for (const auto& [window, pauseMs] : steps) {
        ASSERT_TRUE(m_session.activateSeen(window));
        if (stretch.isValid()) {
            lasted.push_back(static_cast<double>(stretch.elapsed()) / 1000.0);
        }
        stretch.start();
        QTest::qWait(pauseMs);
    }
    DWELLMARK_TRY_WITHIN(hangLimitMs, (m_session.tracker->usageLog().rowCount()) == (std::size_t{3}),
                         ASSERT_EQ(m_session.tracker->usageLog().rowCount(), std::size_t{3}));

    const ActivityTable& log = m_session.tracker->usageLog();
    std::cout << "the usage log: " << ::testing::PrintToString(rowsOf(log)) << '\n';
    const std::string titles[] = {alpha.title.toStdString(), bravo.title.toStdString(), alpha.title.toStdString()};
    std::int64_t position = 0;
    for (std::size_t row = 1; row <= 3; ++row) {
        const auto total = static_cast<std::int64_t>(leadingNumber(log.text(row, LogColumn::Total)));
        // The clock is read in whole seconds at both ends: one second off at most, and a little for the ticks.
        EXPECT_NEAR(static_cast<double>(total), lasted.at(row - 1), 1.5) << "row " << row;
        // Application, title, start, end, the time between them, and the total.
        EXPECT_EQ(rowOf(log, row),
                  (Row{"x11_test_window", titles[row - 1], std::to_string(position), std::to_string(position + total),
                       formatTime(position) + " - " + formatTime(position + total), std::to_string(total)}))
            << "row " << row;
        position += total;
    }
    EXPECT_EQ(m_session.tracker->loggedSeconds(), position);

    const ActivityTable& totals = m_session.tracker->totals();
    ASSERT_EQ(totals.rowCount(), std::size_t{2});
    const auto alphaTotal = static_cast<std::int64_t>(leadingNumber(log.text(1, LogColumn::Total)) +
                                                      leadingNumber(log.text(3, LogColumn::Total)));
    const std::int64_t bravoTotal = position - alphaTotal;
    // Application, title, time and seconds of each.
    EXPECT_EQ(rowsOf(totals),
              (Rows{{"x11_test_window", titles[0], formatTime(alphaTotal), std::to_string(alphaTotal)},
                    {"x11_test_window", titles[1], formatTime(bravoTotal), std::to_string(bravoTotal)}}));
    EXPECT_NEAR(static_cast<double>(alphaTotal), lasted.at(0) + lasted.at(2), 2.5);

    // The views show what the tables hold.
    EXPECT_EQ(m_session.form->usageLog()->model()->rowCount(), 3);
    EXPECT_EQ(m_session.form->totals()->model()->index(1, 1).data().toString(), bravo.title);

    // The open-interval table knows the two windows by their X ids; the
    // main window has no row, nor has the window that never was active.
    const ActivityTable& open = m_session.tracker->openStretches();
    ASSERT_EQ(open.rowCount(), std::size_t{2});
    EXPECT_EQ(handleFromText(open.text(1, OpenColumn::Handle)), alpha.window);
    EXPECT_EQ(handleFromText(open.text(2, OpenColumn::Handle)), bravo.window);
}

TEST_F(EndToEnd, TheChartWindowIsRecordedToo) {
    ASSERT_EQ(m_session.tracker->totals().rowCount(), std::size_t{2});
    QElapsedTimer chartShown;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        auto* chart = qobject_cast<ui::ChartWindow*>(QApplication::activeModalWidget());
        if (chart == nullptr || !chart->isVisible()) {
            return;
        }
        poll.stop();
        EXPECT_EQ(chart->windowTitle(), QStringLiteral("Chart"));
        QStringList names;
        for (const QBarSet* set : chart->barSeries()->barSets()) {
            names << set->label();
        }
        EXPECT_EQ(names, (QStringList{m_session.helpers.at(0).title, m_session.helpers.at(1).title}));
        const auto chartWindow = static_cast<WindowHandle>(chart->winId());
        EXPECT_TRUE(QTest::qWaitFor([&] { return m_session.tracker->lastForeground() == chartWindow; }, hangLimitMs));
        chartShown.start();
        QTest::qWait(1000);
        chart->close();
    });
    poll.start(10);
    QTest::mouseClick(m_session.form->displayChartBox(), Qt::LeftButton);
    EXPECT_FALSE(m_session.form->displayChartBox()->isChecked());
    // The chart opens once the click has returned.
    DWELLMARK_TRY_WITHIN(hangLimitMs, chartShown.isValid() && QApplication::activeModalWidget() == nullptr,
                         ASSERT_TRUE(chartShown.isValid() && QApplication::activeModalWidget() == nullptr));

    // The window manager hands the foreground back; the chart's stretch is logged.
    ASSERT_TRUE(m_session.activateSeen(m_session.mainWindow()));
    const double chartLasted = static_cast<double>(chartShown.elapsed()) / 1000.0;
    ASSERT_EQ(m_session.tracker->usageLog().rowCount(), std::size_t{4});
    const ActivityTable& log = m_session.tracker->usageLog();
    EXPECT_EQ(log.text(4, LogColumn::WindowTitle), "Chart");
    EXPECT_EQ(log.text(4, LogColumn::Application),
              QFileInfo(QCoreApplication::applicationFilePath()).fileName().toStdString());
    EXPECT_LE(leadingNumber(log.text(4, LogColumn::Total)), chartLasted + 1.5);
    EXPECT_EQ(m_session.tracker->findTotalsRow("Chart"), std::size_t{3});
    // The chart window is gone, and so is its row.
    DWELLMARK_TRY_WITHIN(hangLimitMs, (m_session.tracker->openStretches().rowCount()) == (std::size_t{2}),
                         EXPECT_EQ(m_session.tracker->openStretches().rowCount(), std::size_t{2}));
}

} // namespace
} // namespace dwellmark::testing
