// GNOME focus reports, as the extension sends them, turned into the window list.
#include "platform/wayland/focuslist.h"

#include <gtest/gtest.h>

namespace dwellmark::platform::wayland {
namespace {

// GNOME window ids are 64-bit and large; ours are 32-bit.
constexpr std::uint64_t editorId = 4226584121ULL;
constexpr std::uint64_t browserId = (1ULL << 40U) + 7U;

TEST(FocusList, FollowsTheFocusUnderNumbersOfItsOwn) {
    ToplevelList list;
    FocusList focus(list);
    focus.focusChanged({"", "", "", 0, 0});
    EXPECT_EQ(list.foreground(), 0);
    EXPECT_EQ(list.size(), 0U);

    focus.focusChanged({"notes.txt", "gedit", "org.gnome.gedit", 101, editorId});
    const WindowHandle editor = focus.numberOf(editorId);
    ASSERT_GT(editor, 0);
    EXPECT_EQ(list.foreground(), editor);
    EXPECT_EQ(list.find(editor)->title, "notes.txt");
    EXPECT_EQ(list.find(editor)->appId, "org.gnome.gedit");
    EXPECT_EQ(list.find(editor)->pid, 101);

    // Without an application id the WM class stands for it.
    focus.focusChanged({"News", "firefox", "", 202, browserId});
    const WindowHandle browser = focus.numberOf(browserId);
    ASSERT_GT(browser, 0);
    EXPECT_NE(browser, editor);
    EXPECT_EQ(list.foreground(), browser);
    EXPECT_EQ(list.find(browser)->appId, "firefox");

    // Back to the editor under its old number; then to nothing (the desktop).
    focus.focusChanged({"notes.txt", "gedit", "org.gnome.gedit", 101, editorId});
    EXPECT_EQ(list.foreground(), editor);
    focus.focusChanged({"", "", "", 0, 0});
    EXPECT_EQ(list.foreground(), 0);
    EXPECT_TRUE(list.exists(editor));
    EXPECT_TRUE(list.exists(browser));
}

TEST(FocusList, ANewTitleOfTheFocusedWindowKeepsItsNumber) {
    ToplevelList list;
    FocusList focus(list);
    focus.focusChanged({"notes.txt", "gedit", "org.gnome.gedit", 101, editorId});
    const WindowHandle editor = focus.numberOf(editorId);
    focus.focusChanged({"*notes.txt", "gedit", "org.gnome.gedit", 101, editorId});
    EXPECT_EQ(focus.numberOf(editorId), editor);
    EXPECT_EQ(list.foreground(), editor);
    EXPECT_EQ(list.find(editor)->title, "*notes.txt");
    EXPECT_EQ(list.size(), 1U);
}

TEST(FocusList, AWindowClosedWhileFocusedIsGoneAndItsIdIsNewAfterwards) {
    ToplevelList list;
    FocusList focus(list);
    focus.focusChanged({"notes.txt", "gedit", "org.gnome.gedit", 101, editorId});
    focus.focusChanged({"News", "firefox", "", 202, browserId});
    const WindowHandle browser = focus.numberOf(browserId);
    focus.windowClosed(browserId);
    EXPECT_FALSE(list.exists(browser));
    EXPECT_EQ(list.foreground(), 0);
    EXPECT_EQ(focus.numberOf(browserId), 0);
    // A window never focused, or closed twice, changes nothing.
    focus.windowClosed(browserId);
    focus.windowClosed(99);
    EXPECT_EQ(list.size(), 1U);

    // The shell then focuses the editor, which has not gone.
    focus.focusChanged({"notes.txt", "gedit", "org.gnome.gedit", 101, editorId});
    EXPECT_EQ(list.foreground(), focus.numberOf(editorId));
    // Should the id come back, it is a new window with a new number.
    focus.focusChanged({"Other", "firefox", "", 303, browserId});
    EXPECT_NE(focus.numberOf(browserId), browser);
    EXPECT_EQ(list.find(focus.numberOf(browserId))->pid, 303);
}

} // namespace
} // namespace dwellmark::platform::wayland
