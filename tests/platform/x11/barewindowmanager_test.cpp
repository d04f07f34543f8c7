// The backend on a bare X server, where the test itself plays the window
// manager: it decides what the root window's EWMH properties say and when.
#include "childprocess.h"
#include "platform/x11/x11windowsystem.h"
#include "privatedisplay.h"
#include "testdesktop.h"

#include <gtest/gtest.h>
#include <string>

namespace dwellmark::platform::x11 {
namespace {

using dwellmark::testing::eventually;

class BareServerTest : public ::testing::Test {
protected:
    dwellmark::testing::PrivateDisplay m_server{dwellmark::testing::PrivateDisplay::WindowManager::None};
    dwellmark::testing::TestDesktop m_desktop{m_server.display()};
    X11WindowSystem m_windows{m_server.display()};

    WindowHandle handleOf(std::uint32_t window) { return static_cast<WindowHandle>(window); }

    /// The foreground window as a new tick sees it.
    WindowHandle foregroundAtTick() {
        m_windows.beginTick();
        return m_windows.foregroundWindow();
    }
};

TEST_F(BareServerTest, NamesNoForegroundWindowWithoutAnEwmhWindowManager) {
    const auto window = m_desktop.createWindow();
    m_desktop.setActiveWindow(window);
    // A name on the root window alone is not a window manager's word.
    EXPECT_EQ(foregroundAtTick(), 0);

    const auto check = m_desktop.announceWindowManager();
    EXPECT_TRUE(eventually([&] { return foregroundAtTick() == handleOf(window); }));

    // The window manager ends: its check window goes, the stale name stays.
    m_desktop.destroyWindow(check);
    EXPECT_TRUE(eventually([&] { return foregroundAtTick() == 0; }));
}

TEST_F(BareServerTest, FollowsTheActiveWindowPropertyWhetherSetToNoneOrRemoved) {
    m_desktop.announceWindowManager();
    const auto first = m_desktop.createWindow();
    const auto second = m_desktop.createWindow();
    m_desktop.setActiveWindow(first);
    EXPECT_TRUE(eventually([&] { return foregroundAtTick() == handleOf(first); }));
    m_desktop.setActiveWindow(second);
    EXPECT_TRUE(eventually([&] { return foregroundAtTick() == handleOf(second); }));
    m_desktop.setActiveWindow(0);
    EXPECT_TRUE(eventually([&] { return foregroundAtTick() == 0; }));
    m_desktop.setActiveWindow(first);
    EXPECT_TRUE(eventually([&] { return foregroundAtTick() == handleOf(first); }));
    m_desktop.removeActiveWindow();
    EXPECT_TRUE(eventually([&] { return foregroundAtTick() == 0; }));
}

TEST_F(BareServerTest, FollowsTheInputFocusWhereTheWindowManagerNeverWritesTheActiveWindow) {
    // As weston's window manager for Xwayland: announced, without _NET_ACTIVE_WINDOW.
    m_desktop.announceWindowManager();
    const auto first = m_desktop.createWindow("first", true);
    const auto second = m_desktop.createWindow("second", true);
    m_desktop.sync();
    m_desktop.setInputFocus(first);
    EXPECT_TRUE(eventually([&] { return foregroundAtTick() == handleOf(first); }));
    EXPECT_EQ(m_windows.getWindowTitle(handleOf(first)), "first");
    m_desktop.setInputFocus(second);
    EXPECT_TRUE(eventually([&] { return foregroundAtTick() == handleOf(second); }));
    m_desktop.setInputFocus(0);
    EXPECT_TRUE(eventually([&] { return foregroundAtTick() == 0; }));

    // Framed, with the focus in a part of it: the program's window, which the
    // window manager marked with WM_STATE, is the foreground window.
    const auto frame = m_desktop.createWindow({}, true);
    const auto framed = m_desktop.createWindow("framed", true, frame);
    const auto part = m_desktop.createWindow({}, true, framed);
    m_desktop.setText(framed, "WM_STATE", "WM_STATE", "normal");
    m_desktop.setInputFocus(part);
    EXPECT_TRUE(eventually([&] { return foregroundAtTick() == handleOf(framed); }));

    // Once the window manager writes it, its word counts, not the focus.
    m_desktop.setInputFocus(first);
    m_desktop.setActiveWindow(second);
    EXPECT_TRUE(eventually([&] { return foregroundAtTick() == handleOf(second); }));
    EXPECT_EQ(foregroundAtTick(), handleOf(second));
}

TEST_F(BareServerTest, ADestroyedWindowStillNamedActiveIsNoForegroundWindow) {
    m_desktop.announceWindowManager();
    const auto window = m_desktop.createWindow();
    m_desktop.setActiveWindow(window);
    ASSERT_TRUE(eventually([&] { return foregroundAtTick() == handleOf(window); }));
    ASSERT_TRUE(m_windows.isWindow(handleOf(window)));

    m_desktop.destroyWindow(window);
    // The destruction is known from its event, without asking the server.
    EXPECT_TRUE(eventually([&] { return foregroundAtTick() == 0; }));
    EXPECT_FALSE(m_windows.isWindow(handleOf(window)));
    // Answered once, but still named: it stays known as gone.
    EXPECT_EQ(foregroundAtTick(), 0);
    EXPECT_FALSE(m_windows.isWindow(handleOf(window)));

    const auto next = m_desktop.createWindow();
    m_desktop.setActiveWindow(next);
    EXPECT_TRUE(eventually([&] { return foregroundAtTick() == handleOf(next); }));
    EXPECT_EQ(m_windows.watchedWindowCount(), 0U) << "the destroyed window is forgotten once no longer named";
}

TEST_F(BareServerTest, LearnsOfADestroyedActiveWindowItHadNotWatched) {
    m_desktop.announceWindowManager();
    const auto window = m_desktop.createWindow();
    m_desktop.setActiveWindow(window);
    ASSERT_TRUE(eventually([&] { return foregroundAtTick() == handleOf(window); }));
    m_desktop.destroyWindow(window);

    // Not watched, so only the question about it finds out; from then on
    // the stale name no longer counts.
    EXPECT_FALSE(m_windows.isWindow(handleOf(window)));
    EXPECT_EQ(foregroundAtTick(), 0);
}

TEST_F(BareServerTest, AnswersEveryQuestionOfATickFromWhatItsStartRead) {
    m_desktop.announceWindowManager();
    const auto first = m_desktop.createWindow();
    const auto second = m_desktop.createWindow();
    const auto third = m_desktop.createWindow();
    m_desktop.setActiveWindow(first);
    ASSERT_TRUE(eventually([&] { return foregroundAtTick() == handleOf(first); }));
    ASSERT_TRUE(m_windows.isWindow(handleOf(first)));
    ASSERT_TRUE(m_windows.isWindow(handleOf(second)));

    // Within a tick the desktop stands still, however often a window is asked about.
    m_desktop.destroyWindow(second);
    m_desktop.setActiveWindow(third);
    for (int question = 0; question < 3; ++question) {
        EXPECT_EQ(m_windows.foregroundWindow(), handleOf(first));
        EXPECT_TRUE(m_windows.isWindow(handleOf(second)));
        EXPECT_TRUE(m_windows.isWindow(handleOf(first)));
    }
    // The next tick sees both changes.
    EXPECT_TRUE(eventually([&] {
        m_windows.beginTick();
        return !m_windows.isWindow(handleOf(second));
    }));
    EXPECT_EQ(m_windows.foregroundWindow(), handleOf(third));
    EXPECT_TRUE(m_windows.isWindow(handleOf(first)));
}

TEST_F(BareServerTest, KeepsForTheNextTickWhatArrivesWhileAReplyIsAwaited) {
    m_desktop.announceWindowManager();
    const auto first = m_desktop.createWindow();
    const auto second = m_desktop.createWindow();
    m_desktop.setActiveWindow(first);
    ASSERT_TRUE(eventually([&] { return foregroundAtTick() == handleOf(first); }));
    ASSERT_FALSE(m_windows.hasQueuedChanges());

    // The change reaches the connection before the reply to the title read,
    // which takes it out of the socket: the descriptor will not tell of it.
    m_desktop.setActiveWindow(second);
    m_windows.getWindowTitle(handleOf(second));
    EXPECT_TRUE(m_windows.hasQueuedChanges());
    EXPECT_EQ(m_windows.foregroundWindow(), handleOf(first));
    m_windows.beginTick();
    EXPECT_FALSE(m_windows.hasQueuedChanges());
    EXPECT_EQ(m_windows.foregroundWindow(), handleOf(second));
}

TEST_F(BareServerTest, KeepsNoRecordOfDestroyedWindowsOnceAnswered) {
    m_desktop.announceWindowManager();
    std::vector<std::uint32_t> windows;
    for (int i = 0; i < 20; ++i) {
        windows.push_back(m_desktop.createWindow());
        EXPECT_TRUE(m_windows.isWindow(handleOf(windows.back())));
    }
    EXPECT_EQ(m_windows.watchedWindowCount(), 20U);
    for (const auto window : windows) {
        m_desktop.destroyWindow(window);
        EXPECT_TRUE(eventually([&] {
            m_windows.beginTick();
            return !m_windows.isWindow(handleOf(window));
        }));
    }
    EXPECT_EQ(m_windows.watchedWindowCount(), 0U);
    EXPECT_FALSE(m_windows.isWindow(0));
    EXPECT_FALSE(m_windows.isWindow(-5));
}

TEST_F(BareServerTest, DecodesTitlesByTheirPropertyType) {
    const auto window = m_desktop.createWindow();
    EXPECT_EQ(m_windows.getWindowTitle(handleOf(window)), "");
    m_desktop.setText(window, "WM_NAME", "UTF8_STRING", "caf\xC3\xA9 \xFF");
    EXPECT_EQ(m_windows.getWindowTitle(handleOf(window)), "caf\xC3\xA9 \xEF\xBF\xBD");
    m_desktop.setText(window, "WM_NAME", "STRING", "caf\xE9");
    EXPECT_EQ(m_windows.getWindowTitle(handleOf(window)), "caf\xC3\xA9");
    // ISO 2022: ASCII, then Latin-1's right half selected into GR.
    m_desktop.setText(window, "WM_NAME", "COMPOUND_TEXT", "caf\x1B-A\xE9");
    EXPECT_EQ(m_windows.getWindowTitle(handleOf(window)), "caf\xC3\xA9");
    // _NET_WM_NAME wins when it is there, even when empty.
    m_desktop.setText(window, "_NET_WM_NAME", "UTF8_STRING", "");
    EXPECT_EQ(m_windows.getWindowTitle(handleOf(window)), "");
    // Of another type it is not what EWMH means, and WM_NAME counts.
    m_desktop.setText(window, "_NET_WM_NAME", "STRING", "odd");
    EXPECT_EQ(m_windows.getWindowTitle(handleOf(window)), "caf\xC3\xA9");
}

/// Without the X-Resource extension only the program's own _NET_WM_PID,
/// vouched for by WM_CLIENT_MACHINE, names its process.
class NoResourceExtensionTest : public ::testing::Test {
protected:
    dwellmark::testing::PrivateDisplay m_server{dwellmark::testing::PrivateDisplay::WindowManager::None,
                                                {"-extension", "X-Resource"}};
    X11WindowSystem m_windows{m_server.display()};

    std::string processOf(const std::vector<std::string>& options) {
        std::vector<std::string> arguments{X11_TEST_WINDOW};
        arguments.insert(arguments.end(), options.begin(), options.end());
        dwellmark::testing::ChildProcess owner(
            arguments, dwellmark::testing::PrivateDisplay::sessionEnvironment(m_server.display()));
        const auto id = owner.readLine(std::chrono::seconds(120));
        if (!id) {
            ADD_FAILURE() << "no window: " << owner.errorOutput();
            return "(none)";
        }
        return m_windows.getProcessName(static_cast<WindowHandle>(std::stoul(*id)));
    }
};

TEST_F(NoResourceExtensionTest, TrustsTheWindowsOwnPidOnlyFromThisMachine) {
    EXPECT_EQ(processOf({}), "x11_test_window");
    EXPECT_EQ(processOf({"--no-pid"}), "");
    EXPECT_EQ(processOf({"--no-machine"}), "");
    EXPECT_EQ(processOf({"--machine", "elsewhere.invalid"}), "");
}

} // namespace
} // namespace dwellmark::platform::x11
