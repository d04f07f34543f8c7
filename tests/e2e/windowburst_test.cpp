// Two thousand windows made and destroyed in a burst, a few of them activated
// on the way, while the program runs: it keeps its data, forgets the windows
// that are gone and needs no more memory for a second burst than for the first.
#include "processmemory.h"
#include "tablecells.h"
#include "testdesktop.h"
#include "trackedprogram.h"
#include "trackerchecks.h"
#include "tracking/activitytables.h"
#include "tracking/textforms.h"
#include "windowfarm.h"

#include <chrono>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace dwellmark::testing {
namespace {

using namespace std::chrono_literals;

TEST(BurstOfWindows, ForgetsTheWindowsThatWentKeepsItsDataAndItsMemoryFlat) {
    TrackedProgram program;
    ActivityTracker& tracker = program.tracker();
    auto& windows = program.windows();
    TestDesktop desktop;

    // Data from before the burst: two stretches of a second or more.
    WindowFarm keepers;
    const auto kept = keepers.create(2, "Keeper", &TrackedProgram::idle);
    ASSERT_TRUE(program.activate(keepers, kept[0]));
    TrackedProgram::runUntil([] { return false; }, 1200ms);
    ASSERT_TRUE(program.activate(keepers, kept[1]));
    TrackedProgram::runUntil([] { return false; }, 1200ms);
    ASSERT_TRUE(program.activate(keepers, kept[0]));
    ASSERT_EQ(tracker.usageLog().rowCount(), 2U);
    const Rows logBefore = rowsOf(tracker.usageLog());

    std::vector<long> resident;
    std::size_t activations = 0;
    for (unsigned burst = 1; burst <= 2; ++burst) {
        SCOPED_TRACE("burst " + std::to_string(burst));
        WindowFarm farm;
        // A hundredth of them on the screen: the window manager's time for
        // each window it takes on grows with the windows it already has.
        const auto made = farm.create(2000, "Burst", &TrackedProgram::idle, 100);
        // Asked about all of them, as a task bar would be.
        std::size_t alive = 0;
        for (const std::uint32_t window : made) {
            alive += windows.isWindow(static_cast<WindowHandle>(window)) ? 1 : 0;
        }
        EXPECT_EQ(alive, made.size());
        for (std::size_t i = 0; i < made.size(); i += 400) {
            activations += program.activate(farm, made[i]) ? 1 : 0;
        }
        farm.destroyAll(&TrackedProgram::idle);
        ASSERT_TRUE(program.activate(keepers, kept[1]));
        // The rows and the bookkeeping of the windows that went are dropped.
        const bool forgotten = TrackedProgram::runUntil([&] {
            return tracker.openStretches().rowCount() <= kept.size() && windows.watchedWindowCount() <= kept.size() + 1;
        });
        EXPECT_TRUE(forgotten) << tracker.openStretches().rowCount() << " open-interval rows, "
                               << windows.watchedWindowCount() << " windows watched";
        EXPECT_EQ(openRowsOfDeadWindows(tracker, desktop), std::vector<std::string>{});
        resident.push_back(residentKiB());
    }
    RecordProperty("vmrss_after_first_burst_kb", static_cast<int>(resident[0]));
    RecordProperty("vmrss_after_second_burst_kb", static_cast<int>(resident[1]));
    RecordProperty("watched_windows_after", static_cast<int>(windows.watchedWindowCount()));

    EXPECT_EQ(activations, 10U) << "windows of the bursts seen in the foreground";
    EXPECT_LT(resident[1] - resident[0], 4096) << "kB more resident memory after the second burst";

    // The stretches of before are still there as they were, and the burst's
    // windows that held the foreground were logged after them.
    const Rows logAfter = rowsOf(tracker.usageLog());
    ASSERT_GE(logAfter.size(), logBefore.size() + activations);
    EXPECT_EQ(Rows(logAfter.begin(), logAfter.begin() + static_cast<std::ptrdiff_t>(logBefore.size())), logBefore);
    EXPECT_NE(tracker.findTotalsRow("Keeper 0"), 0U);
    EXPECT_NE(tracker.findTotalsRow("Burst 0"), 0U);
    EXPECT_EQ(trackerFaults(tracker), std::vector<std::string>{});
}

} // namespace
} // namespace dwellmark::testing
