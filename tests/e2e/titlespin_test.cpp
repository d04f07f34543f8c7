// A window whose title changes every millisecond while it holds the
// foreground: its stretches are logged under the title it had when it first
// took the foreground, the ticks of the 1 ms timer go on, and the program's
// memory stays flat.
#include "processmemory.h"
#include "testdesktop.h"
#include "trackedprogram.h"
#include "trackerchecks.h"
#include "tracking/activitytables.h"
#include "tracking/textforms.h"
#include "windowfarm.h"

#include <chrono>
#include <gtest/gtest.h>
#include <string>

namespace dwellmark::testing {
namespace {

using namespace std::chrono_literals;

TEST(TitleChangingEveryMillisecond, KeepsItsFirstTitleWhileTheTicksGoOnInFlatMemory) {
    TrackedProgram program(TickSource::Timer);
    ActivityTracker& tracker = program.tracker();
    TestDesktop desktop;
    WindowFarm farm;
    const auto windows = farm.create(2, "Spinner", &TrackedProgram::idle);
    const std::uint32_t spinner = windows[0];
    const std::uint32_t other = windows[1];

    ASSERT_TRUE(program.activate(farm, spinner));
    ASSERT_EQ(tracker.openStretches().rowCount(), 1U);
    EXPECT_EQ(tracker.openStretches().text(1, OpenColumn::WindowTitle), "Spinner 0");

    constexpr unsigned titles = 4000;
    farm.startSpin(spinner, titles);
    // The memory the run needs anyway is in place after a second.
    TrackedProgram::runUntil([] { return false; }, 1s);
    const long residentBefore = residentKiB();

    // The ticks are counted in slices of half a second; not one may be empty.
    std::size_t slices = 0;
    std::size_t emptySlices = 0;
    std::size_t ticksAtSlice = program.ticks();
    auto sliceStart = std::chrono::steady_clock::now();
    const auto ticksBefore = program.ticks();
    const auto spinStart = std::chrono::steady_clock::now();
    farm.finish([&] {
        TrackedProgram::idle();
        if (std::chrono::steady_clock::now() - sliceStart >= 500ms) {
            ++slices;
            emptySlices += program.ticks() == ticksAtSlice ? 1 : 0;
            ticksAtSlice = program.ticks();
            sliceStart = std::chrono::steady_clock::now();
        }
    });
    const std::chrono::duration<double> spun = std::chrono::steady_clock::now() - spinStart;
    const long residentAfter = residentKiB();
    RecordProperty("ticks_per_second_while_spinning",
                   static_cast<int>(static_cast<double>(program.ticks() - ticksBefore) / spun.count()));
    RecordProperty("vmrss_growth_kb", static_cast<int>(residentAfter - residentBefore));

    EXPECT_EQ(desktop.title(spinner), "Spin " + std::to_string(titles)) << "the title did not change as asked";
    EXPECT_GE(slices, 2U);
    EXPECT_EQ(emptySlices, 0U) << "of " << slices << " half seconds";
    EXPECT_LT(residentAfter - residentBefore, 4096) << "kB more resident memory after " << titles << " titles";

    // Leaving the window logs its stretch under its first title; coming back
    // to it, with its title changed, logs the next one under the same.
    ASSERT_TRUE(program.activate(farm, other));
    ASSERT_TRUE(program.activate(farm, spinner));
    ASSERT_TRUE(program.activate(farm, other));
    const ActivityTable& log = tracker.usageLog();
    ASSERT_EQ(log.rowCount(), 3U);
    EXPECT_EQ(log.text(1, LogColumn::WindowTitle), "Spinner 0");
    EXPECT_GE(leadingNumber(log.text(1, LogColumn::Total)), 2.0) << "the stretch lasted the whole spin";
    EXPECT_EQ(log.text(2, LogColumn::WindowTitle), "Spinner 1");
    EXPECT_EQ(log.text(3, LogColumn::WindowTitle), "Spinner 0");
    EXPECT_EQ(tracker.totals().rowCount(), 2U);
    EXPECT_EQ(tracker.findTotalsRow("Spinner 0"), 1U);
    EXPECT_EQ(trackerFaults(tracker), std::vector<std::string>{});
}

} // namespace
} // namespace dwellmark::testing
