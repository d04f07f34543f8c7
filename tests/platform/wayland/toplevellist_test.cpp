// The Wayland window list driven by event sequences as compositors send them, alone and under the tracker.
#include "fakes.h"
#include "listwindowsystem.h"
#include "platform/wayland/toplevellist.h"
#include "tablecells.h"
#include "tracking/activitytracker.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <limits>
#include <set>
#include <string>
#include <vector>

namespace dwellmark::platform::wayland {
namespace {

// A window announced the way sway announces one: its details, then done.
WindowHandle announce(ToplevelList& list, const std::string& title, const std::string& appId, bool activated) {
    const WindowHandle window = list.add();
    list.setTitle(window, title);
    list.setAppId(window, appId);
    list.setActivated(window, activated);
    list.done(window);
    return window;
}

void focus(ToplevelList& list, WindowHandle from, WindowHandle to) {
    if (from != 0) {
        list.setActivated(from, false);
        list.done(from);
    }
    list.setActivated(to, true);
    list.done(to);
}

TEST(ToplevelList, ForegroundFollowsTheActivatedStateInEitherOrder) {
    ToplevelList list;
    const WindowHandle a = announce(list, "Alpha", "a", true);
    const WindowHandle b = announce(list, "Beta", "b", false);
    EXPECT_EQ(list.foreground(), a);

    // Most compositors take the focus away first...
    focus(list, a, b);
    EXPECT_EQ(list.foreground(), b);
    // ...some give it first: for a moment both are activated, and the newer wins.
    list.setActivated(a, true);
    list.done(a);
    EXPECT_EQ(list.foreground(), a);
    list.setActivated(b, false);
    list.done(b);
    EXPECT_EQ(list.foreground(), a);

    // Focus on nothing (an empty workspace): no foreground.
    list.setActivated(a, false);
    list.done(a);
    EXPECT_EQ(list.foreground(), 0);
}

TEST(ToplevelList, ChangesTakeEffectOnlyAtDone) {
    ToplevelList list;
    const WindowHandle a = announce(list, "Alpha", "a", false);
    const WindowHandle b = list.add();
    list.setTitle(b, "Beta");
    list.setActivated(b, true);
    // Announced but not yet done: exists, but neither title nor focus yet.
    EXPECT_TRUE(list.exists(b));
    EXPECT_EQ(list.find(b)->title, "");
    EXPECT_EQ(list.foreground(), 0);
    list.done(b);
    EXPECT_EQ(list.find(b)->title, "Beta");
    EXPECT_EQ(list.foreground(), b);

    // A new title sent alone keeps the other details.
    list.setTitle(a, "Alpha 2");
    EXPECT_EQ(list.find(a)->title, "Alpha");
    list.done(a);
    EXPECT_EQ(list.find(a)->title, "Alpha 2");
    EXPECT_EQ(list.find(a)->appId, "a");
    EXPECT_EQ(list.foreground(), b);
}

TEST(ToplevelList, AClosedWindowIsGoneAndTakesTheFocusWithIt) {
    ToplevelList list;
    const WindowHandle a = announce(list, "Alpha", "a", false);
    const WindowHandle b = announce(list, "Beta", "b", true);
    list.setPid(b, 4242);
    list.remove(b);
    EXPECT_FALSE(list.exists(b));
    EXPECT_EQ(list.find(b), nullptr);
    EXPECT_EQ(list.foreground(), 0);
    // Events for a window already gone change nothing.
    list.setTitle(b, "late");
    list.done(b);
    EXPECT_FALSE(list.exists(b));
    EXPECT_EQ(list.size(), 1U);

    // A window that was focused before the closed one does not come back by itself.
    focus(list, 0, a);
    EXPECT_EQ(list.foreground(), a);
}

TEST(ToplevelList, FindsWindowsByTitleAndAppIdAsLastDone) {
    ToplevelList list;
    const WindowHandle a = announce(list, "Dwellmark", "dwellmark", false);
    const WindowHandle b = announce(list, "Dwellmark", "dwellmark", true);
    announce(list, "Dwellmark", "other", false);
    announce(list, "Chart", "dwellmark", false);
    auto found = list.matching("Dwellmark", "dwellmark");
    std::sort(found.begin(), found.end());
    EXPECT_EQ(found, (std::vector<WindowHandle>{a, b}));

    // A title sent but not yet done does not count; once done, it does.
    list.setTitle(a, "Renamed");
    EXPECT_EQ(list.matching("Renamed", "dwellmark").size(), 0U);
    list.done(a);
    EXPECT_EQ(list.matching("Renamed", "dwellmark"), std::vector<WindowHandle>{a});
    list.remove(b);
    EXPECT_TRUE(list.matching("Dwellmark", "dwellmark").empty());
}

TEST(ToplevelList, TitlesAreValidUtf8) {
    ToplevelList list;
    const WindowHandle a = announce(list, "caf\xC3\xA9 \xE2\x80\x94 \xCE\xA9", "a", true);
    EXPECT_EQ(list.find(a)->title, "caf\xC3\xA9 \xE2\x80\x94 \xCE\xA9");
    list.setTitle(a, "bad \xFF end");
    list.done(a);
    EXPECT_EQ(list.find(a)->title, "bad \xEF\xBF\xBD end");
}

TEST(ToplevelList, NumbersAreNeverZeroNorHeldTwice) {
    ToplevelList list;
    std::set<WindowHandle> alive;
    for (int i = 0; i < 100; ++i) {
        const WindowHandle window = list.add();
        EXPECT_GT(window, 0);
        EXPECT_TRUE(alive.insert(window).second) << window;
    }
    // A closed window's number is not handed out again at once.
    const WindowHandle closed = *alive.begin();
    list.remove(closed);
    alive.erase(closed);
    EXPECT_NE(list.add(), closed);

    // Past the largest number the count wraps to 1, passing over numbers still held.
    ToplevelList wrapping;
    const WindowHandle one = wrapping.add();
    const WindowHandle two = wrapping.add();
    wrapping.setNextNumber(std::numeric_limits<WindowHandle>::max());
    EXPECT_EQ(wrapping.add(), std::numeric_limits<WindowHandle>::max());
    const WindowHandle next = wrapping.add();
    EXPECT_NE(next, 0);
    EXPECT_NE(next, one);
    EXPECT_NE(next, two);
    EXPECT_GT(next, 0);
    wrapping.setNextNumber(-5);
    EXPECT_GT(wrapping.add(), 0);
}

TEST(ToplevelList, UnderTheTrackerAClosedFocusedWindowIsLoggedUnderItsFirstTitle) {
    ToplevelList list;
    testing::ListWindowSystem windows(list);
    testing::FakeClock clock;
    ActivityTracker tracker(windows, clock);

    const WindowHandle a = announce(list, "Alpha", "editor", true);
    clock.now = 100.0F;
    tracker.tick();
    const WindowHandle b = announce(list, "Beta", "browser", false);
    focus(list, a, b);
    clock.now = 110.0F;
    tracker.tick();
    // The title changes after the window was first seen: the log keeps the first.
    list.setTitle(b, "Beta, later");
    list.done(b);
    clock.now = 115.0F;
    tracker.tick();
    // Closed while it holds the focus, with no other window focused after it.
    list.remove(b);
    clock.now = 130.0F;
    tracker.tick();

    EXPECT_EQ(testing::logSummary(tracker.usageLog()),
              (std::vector<std::string>{"editor | Alpha | 10", "browser | Beta | 20"}));
    EXPECT_EQ(tracker.openStretches().rowCount(), 1U);
}

} // namespace
} // namespace dwellmark::platform::wayland
