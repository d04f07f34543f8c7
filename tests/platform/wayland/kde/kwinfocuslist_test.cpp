// KWin script reports, as the script sends them, turned into the window list and seen by the tracker.
#include "fakes.h"
#include "listwindowsystem.h"
#include "platform/wayland/kde/kwinfocuslist.h"
#include "tablecells.h"
#include "tracking/activitytracker.h"

#include <gtest/gtest.h>
#include <string>

namespace dwellmark::platform::wayland {
namespace {

// KWin's ids are UUID texts.
const std::string editorId = "{0b7e1f52-6a54-4c55-9d59-1bb2b3f2e1a0}";
const std::string browserId = "{7d4f5a10-0c2e-4a4b-8f0e-25c9b8d1e7f3}";

const KwinFocusList::Window none{};
const KwinFocusList::Window editor{editorId, "notes.txt", "org.kde.kate", 101};
const KwinFocusList::Window browser{browserId, "News \xE2\x80\x93 Firefox", "firefox", 202};

/// A tracker over the list, with a clock the test sets before each report.
struct Tracked {
    ToplevelList list;
    KwinFocusList focus{list};
    testing::ListWindowSystem windows{list};
    testing::FakeClock clock;
    ActivityTracker tracker{windows, clock};

    /// Reports at the clock time, with a tick after each report, as ticks may fall between any two.
    void at(float seconds) { clock.now = seconds; }
    void activate(const KwinFocusList::Window& window) {
        focus.activated(window);
        tracker.tick();
    }
    /// KWin's way, at the clock time: "no window" first, then the window.
    void switchTo(float seconds, const KwinFocusList::Window& window) {
        at(seconds);
        activate(none);
        activate(window);
    }
};

TEST(KwinFocusList, FollowsActivationsUnderNumbersOfItsOwn) {
    ToplevelList list;
    KwinFocusList focus(list);
    focus.activated(none);
    EXPECT_EQ(list.foreground(), 0);
    EXPECT_EQ(list.size(), 0U);

    // The resource class stands for the app id.
    focus.activated(editor);
    const WindowHandle e = focus.numberOf(editorId);
    ASSERT_GT(e, 0);
    ASSERT_EQ(list.foreground(), e);
    const ToplevelList::Toplevel& shown = *list.find(e);
    EXPECT_EQ(shown.title + " | " + shown.appId + " | " + std::to_string(shown.pid), "notes.txt | org.kde.kate | 101");

    // "No window" comes before each real activation: nothing is focused in between.
    focus.activated(none);
    EXPECT_EQ(list.foreground(), 0);
    focus.activated(browser);
    const WindowHandle b = focus.numberOf(browserId);
    ASSERT_GT(b, 0);
    EXPECT_NE(b, e);
    EXPECT_EQ(list.foreground(), b);

    // Back to the editor under its old number.
    focus.activated(none);
    focus.activated(editor);
    EXPECT_EQ(list.foreground(), e);
    EXPECT_TRUE(list.exists(b));
    EXPECT_EQ(list.size(), 2U);
}

TEST(KwinFocusList, CaptionsChangeForKnownWindowsOnlyAndMoveNoFocus) {
    ToplevelList list;
    KwinFocusList focus(list);
    focus.activated(editor);
    focus.activated(none);
    focus.activated(browser);
    const WindowHandle e = focus.numberOf(editorId);

    focus.captionChanged(editorId, "*notes.txt");
    EXPECT_EQ(list.find(e)->title, "*notes.txt");
    EXPECT_EQ(list.find(e)->appId, "org.kde.kate");
    EXPECT_EQ(list.find(e)->pid, 101);
    EXPECT_EQ(list.foreground(), focus.numberOf(browserId));

    // A window never activated is not listed by its caption.
    focus.captionChanged("{00000000-0000-0000-0000-000000000001}", "Elsewhere");
    EXPECT_EQ(list.size(), 2U);
}

TEST(KwinFocusList, AnIdRemovedAndSeenAgainIsANewWindow) {
    ToplevelList list;
    KwinFocusList focus(list);
    focus.activated(browser);
    const WindowHandle b = focus.numberOf(browserId);
    focus.removed("{00000000-0000-0000-0000-000000000002}");
    ASSERT_TRUE(list.exists(b));

    focus.removed(browserId);
    EXPECT_FALSE(list.exists(b));
    EXPECT_EQ(list.foreground(), 0);
    EXPECT_EQ(focus.numberOf(browserId), 0);
    focus.activated({browserId, "Other", "firefox", 303});
    EXPECT_NE(focus.numberOf(browserId), 0);
    EXPECT_NE(focus.numberOf(browserId), b);
    EXPECT_EQ(list.find(focus.numberOf(browserId))->title, "Other");
}

TEST(KwinFocusList, TheTrackerLogsEachRealSwitchOnceAndNothingForNoWindow) {
    Tracked desk;
    desk.switchTo(100.0F, editor);
    desk.switchTo(110.0F, browser);
    // Renamed after its first appearance: the log keeps the first title.
    desk.at(112.0F);
    desk.focus.captionChanged(browserId, "Later \xE2\x80\x93 Firefox");
    desk.tracker.tick();
    // Activated again while it is active: KWin names no window first all the same.
    desk.switchTo(113.0F, {browserId, "Later \xE2\x80\x93 Firefox", "firefox", 202});
    desk.switchTo(125.0F, editor);
    desk.switchTo(131.0F, browser);

    EXPECT_EQ(testing::logSummary(desk.tracker.usageLog()),
              (std::vector<std::string>{"org.kde.kate | notes.txt | 10", "firefox | News \xE2\x80\x93 Firefox | 15",
                                        "org.kde.kate | notes.txt | 6"}));
}

TEST(KwinFocusList, TheTrackerLogsTheStretchOfAWindowRemovedWhileFocused) {
    Tracked desk;
    desk.switchTo(100.0F, editor);
    desk.switchTo(110.0F, browser);
    // KWin removes the window, then names no window, then activates the next.
    desk.at(118.0F);
    desk.focus.removed(browserId);
    desk.tracker.tick();
    desk.switchTo(119.0F, editor);
    // Without a tick between the removal and the next activation, too.
    desk.switchTo(130.0F, browser);
    desk.at(135.0F);
    desk.focus.removed(browserId);
    desk.focus.activated(none);
    desk.focus.activated(editor);
    desk.tracker.tick();

    EXPECT_EQ(testing::logSummary(desk.tracker.usageLog()),
              (std::vector<std::string>{"org.kde.kate | notes.txt | 10", "firefox | News \xE2\x80\x93 Firefox | 8",
                                        "org.kde.kate | notes.txt | 11", "firefox | News \xE2\x80\x93 Firefox | 5"}));
}

} // namespace
} // namespace dwellmark::platform::wayland
