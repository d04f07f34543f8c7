// The main window's ticks driven by the desktop's events, on the real X11
// backend under openbox: each switch between windows of another process is
// followed, and a tick runs when the window manager reports it.
#include "trackedprogram.h"
#include "tracking/activitytables.h"
#include "windowfarm.h"

#include <gtest/gtest.h>

namespace dwellmark::testing {
namespace {

TEST(EventDrivenTicks, FollowEverySwitchTheWindowManagerReports) {
    TrackedProgram program;
    ASSERT_TRUE(program.mainWindow().ticksFollowDesktop()) << "openbox keeps _NET_ACTIVE_WINDOW";
    WindowFarm farm;
    const auto windows = farm.create(3, "Event", &TrackedProgram::idle);

    for (const std::uint32_t window : {windows[0], windows[1], windows[2], windows[0]}) {
        EXPECT_TRUE(program.activate(farm, window)) << "window " << window;
    }
    const ActivityTable& log = program.tracker().usageLog();
    ASSERT_EQ(log.rowCount(), 3U);
    EXPECT_EQ(log.text(1, LogColumn::WindowTitle), "Event 0");
    EXPECT_EQ(log.text(2, LogColumn::WindowTitle), "Event 1");
    EXPECT_EQ(log.text(3, LogColumn::WindowTitle), "Event 2");
}

} // namespace
} // namespace dwellmark::testing
