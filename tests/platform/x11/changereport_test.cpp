// Ticks driven by the backend's change reports on a desktop with a real EWMH
// window manager (openbox): a tick runs only once the connection's descriptor
// is readable or the backend holds queued changes, and it sees the switch.
#include "childprocess.h"
#include "platform/x11/x11windowsystem.h"
#include "testdesktop.h"

#include <chrono>
#include <cstdlib>
#include <gtest/gtest.h>
#include <poll.h>
#include <string>

namespace dwellmark::platform::x11 {
namespace {

using dwellmark::testing::ChildProcess;

/// A window of its own process; its id on the first line of its output.
std::uint32_t windowOf(ChildProcess& owner) {
    const auto line = owner.readLine(std::chrono::seconds(20));
    if (!line) {
        throw std::runtime_error("no test window: " + owner.errorOutput());
    }
    return static_cast<std::uint32_t>(std::stoul(*line));
}

/// Waits as an event-driven front end does: for the descriptor to become
/// readable, unless the backend already holds changes. False only on a hang.
bool waitForChange(X11WindowSystem& windows) {
    if (windows.hasQueuedChanges()) {
        return true;
    }
    pollfd descriptor{windows.changeDescriptor(), POLLIN, 0};
    return poll(&descriptor, 1, 20'000) == 1;
}

TEST(ChangeReports, AnEventDrivenTickNoticesEachSwitch) {
    const std::string display = std::getenv("DISPLAY");
    dwellmark::testing::TestDesktop desktop(display);
    X11WindowSystem windows(display);
    ASSERT_GE(windows.changeDescriptor(), 0) << "openbox keeps _NET_ACTIVE_WINDOW";

    ChildProcess editorOwner({X11_TEST_WINDOW, "--net-name", "Editor"});
    ChildProcess browserOwner({X11_TEST_WINDOW, "--net-name", "Browser"});
    const std::uint32_t editor = windowOf(editorOwner);
    const std::uint32_t browser = windowOf(browserOwner);

    for (const std::uint32_t window : {editor, browser, editor}) {
        SCOPED_TRACE(window == editor ? "to the editor" : "to the browser");
        // A request made before the window is managed is dropped, so it is
        // repeated on every tick that does not see the window yet.
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
