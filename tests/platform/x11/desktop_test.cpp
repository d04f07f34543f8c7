// The backend on a desktop with a real EWMH window manager (openbox): windows
// of other processes, activated through the window manager, and ticks driven
// by the backend's change reports: a tick runs only once the connection's
// descriptor is readable or the backend holds queued changes, and it sees the switch.
#include "childprocess.h"
#include "platform/platform.h"
#include "platform/x11/x11windowsystem.h"
#include "testdesktop.h"
#include "tracking/activitytables.h"
#include "tracking/activitytracker.h"

#include <cstdlib>
#include <gtest/gtest.h>
#include <poll.h>
#include <string>
#include <utility>
#include <vector>

namespace dwellmark::platform::x11 {
namespace {

using dwellmark::testing::ChildProcess;
using dwellmark::testing::eventually;
using dwellmark::testing::eventuallyAsking;

/// A window of its own process (the x11_test_window program).
class OwnedWindow final {
public:
    explicit OwnedWindow(const std::vector<std::string>& options) : m_process(arguments(options)) {
        const auto line = m_process.readLine(std::chrono::seconds(120));
        if (!line) {
            throw std::runtime_error("no test window: " + m_process.errorOutput());
        }
        m_handle = static_cast<WindowHandle>(std::stoul(*line));
    }

    WindowHandle handle() const { return m_handle; }
    auto id() const { return static_cast<std::uint32_t>(m_handle); }

    void destroy() {
        m_process.writeLine("destroy");
        if (m_process.readLine(std::chrono::seconds(120)) != "ok") {
            throw std::runtime_error("the test window was not destroyed");
        }
    }

private:
    static std::vector<std::string> arguments(const std::vector<std::string>& options) {
        std::vector<std::string> all{X11_TEST_WINDOW};
        all.insert(all.end(), options.begin(), options.end());
        return all;
    }

    ChildProcess m_process;
    WindowHandle m_handle = 0;
};

class DesktopTest : public ::testing::Test {
protected:
    std::string m_display = std::getenv("DISPLAY");
    dwellmark::testing::TestDesktop m_desktop{m_display};
    X11WindowSystem m_windows{m_display};

    /// Asks the window manager until the backend sees the window in the
    /// foreground (a request made before the window is managed is dropped).
    bool activate(const OwnedWindow& window) {
        return eventuallyAsking([&] { m_desktop.requestActivation(window.id()); }, 50,
                                [&] {
                                    m_windows.beginTick();
                                    return m_windows.foregroundWindow() == window.handle();
                                });
    }
};

TEST_F(DesktopTest, FollowsTheWindowTheWindowManagerActivates) {
    OwnedWindow editor({"--net-name", "Editor"});
    OwnedWindow browser({"--net-name", "Browser"});
    ASSERT_TRUE(activate(editor));
    ASSERT_TRUE(activate(browser));
    ASSERT_TRUE(activate(editor));
    // Nothing changes without the window manager's word.
    m_windows.beginTick();
    EXPECT_EQ(m_windows.foregroundWindow(), editor.handle());
}

TEST_F(DesktopTest, ReadsTitlesOfOtherProgramsAsUtf8) {
    const std::string unicode = "Gr\u00FC\u00DFe, \u4E16\u754C";
    const std::string latin1Text = "Caf\u00E9 cr\u00E8me";
    // Characters beyond Latin-1 make the X library switch character sets.
    const std::string compoundText = "Gr\u00F6\u00DFe \u20AC \u4E16\u754C";
    const std::string fffd = "\uFFFD";
    // Each window's options, and the title read from it.
    const std::vector<std::pair<std::vector<std::string>, std::string>> windows{
        {{"--net-name", unicode}, unicode},
        {{"--latin1-name", latin1Text}, latin1Text},
        {{"--compound-name", compoundText}, compoundText},
        {{"--net-name", "New", "--latin1-name", "Old"}, "New"},
        {{"--net-name", ""}, ""},
        {{}, ""},
        {{"--net-name", "ab\xFF|cd\xE2\x82"}, "ab" + fffd + "|cd" + fffd},
        {{"--net-name", std::string(5000, 'x')}, std::string(4096, 'x')},
    };
    for (std::size_t row = 0; row < windows.size(); ++row) {
        const OwnedWindow window(windows[row].first);
        EXPECT_EQ(m_windows.getWindowTitle(window.handle()), windows[row].second) << "window " << row + 1;
    }
}

TEST_F(DesktopTest, NamesTheExecutableOfTheOwningProcess) {
    OwnedWindow withPid({"--net-name", "a"});
    OwnedWindow withoutPid({"--net-name", "b", "--no-pid"});
    OwnedWindow remote({"--net-name", "c", "--machine", "elsewhere.invalid"});
    OwnedWindow unnamedMachine({"--no-machine"});

    EXPECT_EQ(m_windows.getProcessName(withPid.handle()), "x11_test_window");
    // The X server knows the process of a local client without its word.
    EXPECT_EQ(m_windows.getProcessName(withoutPid.handle()), "x11_test_window");
    EXPECT_EQ(m_windows.getProcessName(unnamedMachine.handle()), "x11_test_window");
    // A client that says it runs elsewhere gets no name from this machine's processes.
    EXPECT_EQ(m_windows.getProcessName(remote.handle()), "");
    EXPECT_EQ(m_windows.getProcessName(0), "");
}

TEST_F(DesktopTest, KnowsAtTheNextTickThatAWindowWasDestroyed) {
    OwnedWindow window({"--net-name", "Short-lived"});
    ASSERT_TRUE(activate(window));
    EXPECT_TRUE(m_windows.isWindow(window.handle()));
    EXPECT_TRUE(m_windows.isWindow(window.handle()));

    window.destroy();
    EXPECT_TRUE(eventually([&] {
        m_windows.beginTick();
        return !m_windows.isWindow(window.handle());
    }));
    EXPECT_NE(m_windows.foregroundWindow(), window.handle());
    EXPECT_FALSE(m_windows.isWindow(window.handle()));
}

TEST_F(DesktopTest, AnswersQuietlyAboutAWindowThatIsGone) {
    OwnedWindow window({"--net-name", "Gone"});
    const WindowHandle handle = window.handle();
    window.destroy();

    ::testing::internal::CaptureStderr();
    EXPECT_EQ(m_windows.getWindowTitle(handle), "");
    EXPECT_EQ(m_windows.getProcessName(handle), "");
    EXPECT_FALSE(m_windows.isWindow(handle));
    EXPECT_EQ(::testing::internal::GetCapturedStderr(), "");
}

TEST_F(DesktopTest, DrivesTheTrackerThroughRealWindows) {
    auto clock = createClock();
    ActivityTracker tracker(m_windows, *clock);
    OwnedWindow editor({"--net-name", "Editor"});
    OwnedWindow browser({"--latin1-name", "Browser"});

    ASSERT_TRUE(activate(editor));
    tracker.tick();
    ASSERT_TRUE(activate(browser));
    tracker.tick();
    tracker.tick();

    const ActivityTable& open = tracker.openStretches();
    ASSERT_EQ(open.rowCount(), 2U);
    EXPECT_EQ(open.text(1, OpenColumn::Application), "x11_test_window");
    EXPECT_EQ(open.text(1, OpenColumn::WindowTitle), "Editor");
    EXPECT_EQ(open.text(2, OpenColumn::WindowTitle), "Browser");
    ASSERT_EQ(tracker.usageLog().rowCount(), 1U);
    EXPECT_EQ(tracker.usageLog().text(1, LogColumn::WindowTitle), "Editor");

    editor.destroy();
    tracker.tick();
    ASSERT_EQ(open.rowCount(), 1U);
    EXPECT_EQ(open.text(1, OpenColumn::WindowTitle), "Browser");
}

/// Waits as an event-driven front end does: for the descriptor to become
/// readable, unless the backend already holds changes. False only on a hang.
bool waitForChange(X11WindowSystem& windows) {
    if (windows.hasQueuedChanges()) {
        return true;
    }
    pollfd descriptor{windows.changeDescriptor(), POLLIN, 0};
    return poll(&descriptor, 1, 120'000) == 1;
}

TEST(ChangeReports, AnEventDrivenTickNoticesEachSwitch) {
    const std::string display = std::getenv("DISPLAY");
    dwellmark::testing::TestDesktop desktop(display);
    X11WindowSystem windows(display);
    ASSERT_GE(windows.changeDescriptor(), 0) << "openbox keeps _NET_ACTIVE_WINDOW";

    const OwnedWindow editorWindow({"--net-name", "Editor"});
    const OwnedWindow browserWindow({"--net-name", "Browser"});
    const std::uint32_t editor = editorWindow.id();
    const std::uint32_t browser = browserWindow.id();
    // A request made before the window manager has taken a window on is
    // dropped and reports no change: each is activated once beforehand,
    // looked at from the test's own connection, so that none is dropped below.
    for (const std::uint32_t window : {editor, browser}) {
        ASSERT_TRUE(eventuallyAsking([&] { desktop.requestActivation(window); }, 50,
                                     [&] { return desktop.activeWindow() == window; }))
            << "the window manager did not take the window on";
    }

    for (const std::uint32_t window : {editor, browser, editor}) {
        SCOPED_TRACE(window == editor ? "to the editor" : "to the browser");
        // A change seen may be another one (no active window for a moment),
        // so the request is repeated on every tick that does not see the window yet.
        bool seen = false;
        for (int tick = 0; tick < 200 && !seen; ++tick) {
            desktop.requestActivation(window);
            ASSERT_TRUE(waitForChange(windows)) << "no change reported";
            windows.beginTick();
            seen = windows.foregroundWindow() == static_cast<WindowHandle>(window);
        }
        EXPECT_TRUE(seen);
        EXPECT_TRUE(windows.isWindow(static_cast<WindowHandle>(window)));
    }
}

} // namespace
} // namespace dwellmark::platform::x11
