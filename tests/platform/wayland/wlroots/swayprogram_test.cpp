// The program as it is wired, on a headless sway: its windows run natively on
// Wayland, it ticks on the compositor's events, and it logs what the X11
// end-to-end run logs, its main window never, its chart window always.
#include "app/application.h"
#include "app/qtprogram.h"
#include "compositortest.h"
#include "fakes.h"
#include "platform/platform.h"
#include "platform/wayland/wlroots/wlrootswindowsystem.h"
#include "tablecells.h"
#include "tracking/activitytables.h"
#include "wlrootssession.h"

#include <QApplication>
#include <QCheckBox>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QTemporaryDir>
#include <QTimer>
#include <cerrno>
#include <filesystem>
#include <gtest/gtest.h>
#include <string>

namespace dwellmark::platform::wayland {
namespace {

using namespace dwellmark::testing;

// Runs the event loop (and so the program's ticks) until the condition holds.
template <class Condition>
bool whileRunning(Condition condition) {
    return eventually(
        [&] {
            QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
            return condition();
        },
        hang);
}

TEST(SwayProgram, LogsTheDesktopButNeverItsMainWindowAndTicksOnTheCompositorsEvents) {
    WlrootsSession sway;
    ASSERT_TRUE(sway.ready()) << "sway did not start: " << sway.log();
    ScopedEnvironment environment(sway.clientEnvironment());
    environment.set("QT_QPA_PLATFORM", std::nullopt);

    // As run() does: the session picks the backend, the backend the toolkit's protocol.
    Desktop desktop = openDesktop();
    WindowSystem* windows = desktop.windows.get();
    ASSERT_NE(dynamic_cast<WlrootsWindowSystem*>(windows), nullptr);
    ASSERT_EQ(displayProtocol(*windows), DisplayProtocol::Wayland);
    app::chooseQtPlatform(displayProtocol(*windows));
    int argc = 1;
    char name[] = "swayprogram";
    char* argv[] = {name, nullptr};
    app::Application application(argc, argv);
    ASSERT_EQ(QGuiApplication::platformName(), QStringLiteral("wayland"));

    FakeClock clock;
    QTemporaryDir folder;
    app::QtProgram program(*windows, *desktop.changes, clock, folder.path(), TickSource::DesktopEvents);
    ActivityTracker& tracker = program.tracker();
    // The compositor's connection tells of each change: no 1 ms timer.
    EXPECT_TRUE(program.mainWindow().ticks().followsDesktop());
    program.mainWindow().show();
    // sway focuses a new window; the main window is known by then, so it gets no row.
    ASSERT_TRUE(
        whileRunning([&] { return tracker.mainWindow() != 0 && windows->foregroundWindow() == tracker.mainWindow(); }));
    EXPECT_EQ(windows->getWindowTitle(tracker.mainWindow()), "Dwellmark");
    EXPECT_EQ(tracker.openStretches().rowCount(), 0U);

    const auto foregroundTitled = [&](const std::string& title) {
        return whileRunning([&] {
            const WindowHandle last = tracker.lastForeground();
            return last != 0 && windows->getWindowTitle(last) == title;
        });
    };
    const auto focus = [&](float at, const std::string& criteria, const std::string& title) {
        clock.now = at;
        EXPECT_TRUE(sway.command(criteria + " focus"));
        return foregroundTitled(title);
    };

    clock.now = 100.0F;
    auto alpha = openWindow(sway, alphaTitle, "dwellmark.test.alpha");
    ASSERT_TRUE(foregroundTitled(alphaTitle));
    ASSERT_TRUE(focus(110.0F, "[app_id=\"^dwellmark$\"]", "Dwellmark"));
    clock.now = 120.0F;
    auto omega = openWindow(sway, omegaTitle, "dwellmark.test.omega");
    ASSERT_TRUE(foregroundTitled(omegaTitle));

    // The chart is a window of this process too, and is logged like any other.
    // It opens once the check box has had its say.
    clock.now = 125.0F;
    bool chartSeen = false;
    bool chartDone = false;
    QTimer::singleShot(0, [&] {
        chartSeen = foregroundTitled("Chart") && focus(133.0F, "[app_id=dwellmark.test.alpha]", alphaTitle);
        if (QWidget* chart = QApplication::activeModalWidget(); chart != nullptr) {
            chart->close();
        }
        chartDone = true;
    });
    program.mainWindow().displayChartBox()->setChecked(true);
    ASSERT_TRUE(whileRunning([&] { return chartDone; }));
    ASSERT_TRUE(chartSeen) << "the foreground: " << windows->getWindowTitle(tracker.lastForeground());
    ASSERT_TRUE(focus(140.0F, "[title=\"^Dwellmark$\"]", "Dwellmark"));
    ASSERT_TRUE(whileRunning([&] { return tracker.usageLog().rowCount() == 4; }));

    const std::string ourName = std::filesystem::path(program_invocation_name).filename().string();
    const std::string alphaRow = processName + " | " + alphaTitle + " | ";
    EXPECT_EQ(logSummary(tracker.usageLog()),
              (std::vector<std::string>{alphaRow + "10", processName + " | " + omegaTitle + " | 5",
                                        ourName + " | Chart | 8", alphaRow + "7"}));
    const ActivityTable& totals = tracker.totals();
    ASSERT_EQ(totals.rowCount(), 3U);
    EXPECT_EQ(totals.text(tracker.findTotalsRow(alphaTitle), TotalsColumn::TotalSeconds), "17");
    EXPECT_EQ(totals.text(tracker.findTotalsRow(omegaTitle), TotalsColumn::TotalSeconds), "5");
    EXPECT_EQ(totals.text(tracker.findTotalsRow("Chart"), TotalsColumn::TotalSeconds), "8");
    EXPECT_EQ(tracker.findTotalsRow("Dwellmark"), 0U);
    for (std::size_t row = 1; row <= tracker.openStretches().rowCount(); ++row) {
        EXPECT_NE(tracker.openStretches().text(row, OpenColumn::WindowTitle), "Dwellmark") << row;
    }
    program.mainWindow().close();
}

} // namespace
} // namespace dwellmark::platform::wayland
