// Windows destroyed while the tracker asks about them: the foreground query,
// the existence check, the title and the process name each meet windows that
// go at random moments. The answers stay quiet and sane, and the tables stay
// consistent.
#include "platform/platform.h"
#include "platform/x11/x11windowsystem.h"
#include "testdesktop.h"
#include "trackerchecks.h"
#include "tracking/activitytracker.h"
#include "windowfarm.h"

#include <chrono>
#include <cstdlib>
#include <gtest/gtest.h>
#include <set>
#include <sstream>
#include <string>

namespace dwellmark::testing {
namespace {

using namespace std::chrono_literals;

TEST(WindowsDestroyedDuringQueries, AnswersStayQuietAndTheTablesConsistent) {
    platform::x11::X11WindowSystem windows(std::getenv("DISPLAY"));
    auto clock = platform::createClock();
    ActivityTracker tracker(windows, *clock);
    TestDesktop desktop;
    WindowFarm farm;

    std::size_t ticks = 0;
    std::set<WindowHandle> seen;
    std::size_t goneAtOnce = 0;
    std::vector<std::string> wrongAnswers;
    std::vector<std::string> faults;
    // Besides the tracker's own questions, the foreground window is asked
    // about again and again on every tick, so that more of the questions meet
    // a window on its way out.
    const auto tick = [&] {
        tracker.tick();
        ++ticks;
        const WindowHandle foreground = windows.foregroundWindow();
        if (foreground != 0) {
            seen.insert(foreground);
            const std::string process = windows.getProcessName(foreground);
            const std::string title = windows.getWindowTitle(foreground);
            goneAtOnce += windows.isWindow(foreground) ? 0 : 1;
            if (!process.empty() && process != "x11_test_window") {
                wrongAnswers.push_back("process \"" + process + "\"");
            }
            if (!title.empty() && !title.starts_with("Churn ")) {
                wrongAnswers.push_back("title \"" + title.substr(0, 40) + "\"");
            }
        }
        if (ticks % 256 == 0 && faults.empty()) {
            faults = trackerFaults(tracker);
        }
    };

    ::testing::internal::CaptureStderr();
    // The churn goes on in rounds until it has really put windows in the
    // foreground and had stretches logged: a loaded machine gets through
    // fewer in a round. The limit on rounds only catches a hang.
    std::string ok = "ok";
    unsigned created = 0;
    unsigned activated = 0;
    for (unsigned round = 0; round < 20 && (seen.size() <= 20 || tracker.usageLog().rowCount() <= 5); ++round) {
        farm.startChurn(6s, 20240601 + round);
        std::istringstream answer(farm.finish(tick));
        std::string said;
        unsigned made = 0;
        unsigned raised = 0;
        answer >> said >> made >> raised;
        if (said != "ok") {
            ok = said;
        }
        created += made;
        activated += raised;
    }
    // Every window of the farm is gone now: their rows go within a few ticks.
    const bool purged = eventually(
        [&] {
            tick();
            return tracker.openStretches().rowCount() == 0;
        },
        60s);
    const std::string errors = ::testing::internal::GetCapturedStderr();

    RecordProperty("windows_created", static_cast<int>(created));
    RecordProperty("activations", static_cast<int>(activated));
    RecordProperty("windows_seen_in_foreground", static_cast<int>(seen.size()));
    RecordProperty("foreground_gone_at_once", static_cast<int>(goneAtOnce));
    RecordProperty("stretches_logged", static_cast<int>(tracker.usageLog().rowCount()));
    RecordProperty("ticks", static_cast<int>(ticks));

    EXPECT_EQ(ok, "ok");
    EXPECT_EQ(errors, "");
    EXPECT_TRUE(wrongAnswers.empty()) << wrongAnswers.size() << " wrong answers, the first: " << wrongAnswers.front();
    EXPECT_TRUE(faults.empty()) << "during the churn: " << ::testing::PrintToString(faults);
    EXPECT_TRUE(purged) << ::testing::PrintToString(openRowsOfDeadWindows(tracker, desktop));
    EXPECT_TRUE(openRowsOfDeadWindows(tracker, desktop).empty());
    EXPECT_EQ(trackerFaults(tracker), std::vector<std::string>{});
    // The churn must really have put windows in the foreground and logged some.
    EXPECT_GT(seen.size(), 20U);
    EXPECT_GT(tracker.usageLog().rowCount(), 5U);
    // What the backend keeps about windows is bounded by the windows that still exist.
    EXPECT_LE(windows.watchedWindowCount(), 1U);
}

} // namespace
} // namespace dwellmark::testing
