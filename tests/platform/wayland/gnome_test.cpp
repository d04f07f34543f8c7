// The GNOME backend against a real headless GNOME Shell with Dwellmark's extension, and windows of other processes.
#include "childprocess.h"
#include "gnomesession.h"
#include "platform/platform.h"
#include "platform/wayland/gnomewindowsystem.h"
#include "platform/wayland/waylanddisplay.h"

#include <csignal>
#include <cstdlib>
#include <gtest/gtest.h>
#include <memory>
#include <string>
#include <sys/wait.h>

namespace dwellmark::platform::wayland {
namespace {

using dwellmark::testing::ChildProcess;
using dwellmark::testing::eventually;
using dwellmark::testing::GnomeSession;

// Limits that only catch hangs: a loaded machine is slow, never this slow.
constexpr std::chrono::seconds hang(30);

const std::string alphaTitle = "Alpha";
const std::string omegaTitle = "\xCE\xA9mega \xE2\x80\x93 Gr\xC3\xBC\xC3\x9F" "e";
const std::string omegaLater = "Omega, renamed";
const std::string processName = "wayland_test_toplevel";

std::unique_ptr<ChildProcess> openWindow(const GnomeSession& session, const std::string& title,
                                         const std::string& appId, const std::string& nextTitle = "next") {
    auto window = std::make_unique<ChildProcess>(
        std::vector<std::string>{WAYLAND_TEST_TOPLEVEL, title, appId, nextTitle}, session.clientEnvironment());
    const auto line = window->readLine(hang);
    EXPECT_EQ(line, std::optional<std::string>("mapped")) << window->errorOutput();
    return window;
}

/// Ticks the backend until the foreground window has the title.
WindowHandle foregroundTitled(GnomeWindowSystem& windows, const std::string& title) {
    WindowHandle found = 0;
    eventually(
        [&] {
            windows.beginTick();
            found = windows.foregroundWindow();
            return found != 0 && windows.getWindowTitle(found) == title;
        },
        hang);
    return windows.getWindowTitle(found) == title ? found : 0;
}

/// Has the extension focus the process's window until the backend sees it
/// focused: a shell that has just started may still move the focus to its
/// overview once after a first activation.
WindowHandle focusProcess(const GnomeSession& session, GnomeWindowSystem& windows, int pid, const std::string& title) {
    WindowHandle found = 0;
    eventually(
        [&] {
            windows.beginTick();
            found = windows.foregroundWindow();
            if (found != 0 && windows.getWindowTitle(found) == title) {
                return true;
            }
            session.activate(pid);
            return false;
        },
        hang);
    return windows.getWindowTitle(found) == title ? found : 0;
}

/// Runs createWindowSystem on the session's Wayland display; what it made, and what it said.
std::unique_ptr<WindowSystem> createOn(const GnomeSession& session, std::string& said) {
    const char* oldWayland = std::getenv("WAYLAND_DISPLAY");
    const std::string saved = oldWayland != nullptr ? oldWayland : "";
    setenv("WAYLAND_DISPLAY", session.waylandSocket().c_str(), 1);
    ::testing::internal::CaptureStderr();
    std::unique_ptr<WindowSystem> windows;
    try {
        windows = createWindowSystem();
    } catch (const PlatformError& error) {
        std::fprintf(stderr, "PlatformError: %s\n", error.what());
    }
    said = ::testing::internal::GetCapturedStderr();
    if (oldWayland != nullptr) {
        setenv("WAYLAND_DISPLAY", saved.c_str(), 1);
    } else {
        unsetenv("WAYLAND_DISPLAY");
    }
    return windows;
}

TEST(GnomeDesktop, TheForegroundTitlesAndProcessesFollowTheFocus) {
    GnomeSession session(true);
    ASSERT_TRUE(session.ready()) << "GNOME Shell did not start: " << session.log();
    auto alpha = openWindow(session, alphaTitle, "dwellmark.test.alpha");
    auto omega = openWindow(session, omegaTitle, "dwellmark.test.omega", omegaLater);
    auto display = WaylandDisplay::connect(session.waylandSocket());
    ASSERT_NE(display, nullptr);
    GnomeWindowSystem windows(std::move(display));

    const WindowHandle a = focusProcess(session, windows, alpha->pid(), alphaTitle);
    ASSERT_NE(a, 0);
    const WindowHandle o = focusProcess(session, windows, omega->pid(), omegaTitle);
    ASSERT_NE(o, 0);
    EXPECT_NE(a, o);
    EXPECT_EQ(windows.appId(a), "dwellmark.test.alpha");
    EXPECT_EQ(windows.processId(o), omega->pid());
    EXPECT_EQ(windows.getProcessName(a), processName);
    EXPECT_EQ(windows.getProcessName(o), processName);
    EXPECT_EQ(windows.findWindow(omega->pid(), omegaTitle, "dwellmark.test.omega"), o);

    // Back again: the same number.
    EXPECT_EQ(focusProcess(session, windows, alpha->pid(), alphaTitle), a);
    EXPECT_EQ(focusProcess(session, windows, omega->pid(), omegaTitle), o);

    // A new title of the focused window reaches the backend.
    kill(omega->pid(), SIGUSR1);
    ASSERT_EQ(omega->readLine(hang), std::optional<std::string>("retitled"));
    EXPECT_EQ(foregroundTitled(windows, omegaLater), o);

    // Closed while focused: gone.
    omega.reset();
    EXPECT_TRUE(eventually(
        [&] {
            windows.beginTick();
            return !windows.isWindow(o);
        },
        hang));
    EXPECT_NE(windows.foregroundWindow(), o);
    EXPECT_TRUE(windows.isWindow(a));
}

TEST(GnomeDesktop, TheSessionChoosesTheGnomeBackendAndTheShellKilledEndsTheProgram) {
    GnomeSession session(true);
    ASSERT_TRUE(session.ready()) << "GNOME Shell did not start: " << session.log();
    std::string said;
    auto windows = createOn(session, said);
    EXPECT_NE(dynamic_cast<GnomeWindowSystem*>(windows.get()), nullptr) << said;
    EXPECT_EQ(said, "");
    windows.reset();

    auto window = openWindow(session, alphaTitle, "dwellmark.test.alpha");
    ChildProcess probe({WAYLAND_BACKEND_PROBE}, session.clientEnvironment());
    ASSERT_EQ(probe.readLine(hang), std::optional<std::string>("ready")) << probe.errorOutput();
    session.kill();
    const auto status = probe.waitForExit(hang);
    ASSERT_TRUE(status.has_value()) << "still running after the shell died";
    ASSERT_TRUE(WIFEXITED(*status)) << "ended by signal " << WTERMSIG(*status);
    EXPECT_EQ(WEXITSTATUS(*status), 1);
    EXPECT_EQ(probe.errorOutput(), "dwellmark: lost the connection to the Wayland compositor\n");
}

TEST(GnomeDesktop, WithoutTheExtensionTheUserIsToldToInstallItAndLogInAgain) {
    GnomeSession session(false);
    ASSERT_TRUE(session.ready()) << "GNOME Shell did not start: " << session.log();
    const char* oldDisplay = std::getenv("DISPLAY");
    const std::string savedDisplay = oldDisplay != nullptr ? oldDisplay : "";
    unsetenv("DISPLAY");
    std::string said;
    auto windows = createOn(session, said);
    if (oldDisplay != nullptr) {
        setenv("DISPLAY", savedDisplay.c_str(), 1);
    }
    EXPECT_EQ(windows, nullptr);
    EXPECT_NE(said.find("extension"), std::string::npos) << said;
    EXPECT_NE(said.find("log out and in"), std::string::npos) << said;
    EXPECT_EQ(said.find('\n'), said.size() - 1) << "one line: " << said;
}

} // namespace
} // namespace dwellmark::platform::wayland
