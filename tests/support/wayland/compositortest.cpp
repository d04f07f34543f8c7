// What the backend tests against a real compositor share.
#include "compositortest.h"

#include "fakes.h"
#include "platform/platform.h"
#include "tablecells.h"
#include "tracking/activitytracker.h"

#include <csignal>
#include <cstdio>
#include <gtest/gtest.h>
#include <sys/wait.h>

namespace dwellmark::testing {

std::unique_ptr<ChildProcess> openWindow(const std::vector<std::string>& environment, const std::string& title,
                                         const std::string& appId, const std::string& nextTitle) {
    auto window = std::make_unique<ChildProcess>(
        std::vector<std::string>{WAYLAND_TEST_TOPLEVEL, title, appId, nextTitle}, environment);
    const auto line = window->readLine(hang);
    EXPECT_EQ(line, std::optional<std::string>("mapped")) << window->errorOutput();
    return window;
}

std::unique_ptr<ChildProcess> openWindow(const CompositorSession& session, const std::string& title,
                                         const std::string& appId, const std::string& nextTitle) {
    return openWindow(session.clientEnvironment(), title, appId, nextTitle);
}

WindowHandle foregroundTitled(WindowSystem& windows, const std::string& title) {
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

platform::Desktop openDesktopOn(const std::string& waylandSocket, std::string& said) {
    const ScopedEnvironment wayland("WAYLAND_DISPLAY", waylandSocket);
    ::testing::internal::CaptureStderr();
    platform::Desktop desktop;
    try {
        desktop = platform::openDesktop();
    } catch (const platform::PlatformError& error) {
        std::fprintf(stderr, "PlatformError: %s\n", error.what());
    }
    said = ::testing::internal::GetCapturedStderr();
    return desktop;
}

WindowHandle focusUntilForeground(WindowSystem& windows, const FocusWindow& focus, const ChildProcess& window,
                                  const std::string& appId, const std::string& title) {
    WindowHandle found = 0;
    eventuallyAsking([&] { focus(window.pid(), appId); }, 100,
                     [&] {
                         windows.beginTick();
                         found = windows.foregroundWindow();
                         return found != 0 && windows.getWindowTitle(found) == title;
                     },
                     hang);
    return windows.getWindowTitle(found) == title ? found : 0;
}

bool windowGoes(WindowSystem& windows, WindowHandle window) {
    return eventually(
        [&] {
            windows.beginTick();
            return !windows.isWindow(window);
        },
        hang);
}

void expectForegroundFollowsTheFocus(platform::wayland::WaylandWindowSystem& windows, const ChildProcess& alpha,
                                     std::unique_ptr<ChildProcess>& omega, const FocusWindow& focus) {
    const std::string alphaId = "dwellmark.test.alpha";
    const std::string omegaId = "dwellmark.test.omega";
    const WindowHandle a = focusUntilForeground(windows, focus, alpha, alphaId, alphaTitle);
    ASSERT_NE(a, 0);
    const WindowHandle o = focusUntilForeground(windows, focus, *omega, omegaId, omegaTitle);
    ASSERT_NE(o, 0);
    EXPECT_NE(a, o);
    EXPECT_TRUE(windows.isWindow(a));
    EXPECT_TRUE(windows.isWindow(o));
    EXPECT_EQ(windows.appId(a), alphaId);
    EXPECT_EQ(windows.appId(o), omegaId);
    EXPECT_EQ(windows.processId(a), alpha.pid());
    EXPECT_EQ(windows.processId(o), omega->pid());
    EXPECT_EQ(windows.getProcessName(a), processName);
    EXPECT_EQ(windows.getProcessName(o), processName);
    EXPECT_EQ(windows.findWindow(omega->pid(), omegaTitle, omegaId), o);
    EXPECT_EQ(windows.findWindow(alpha.pid(), omegaTitle, omegaId), 0);

    // Back again: the same numbers as before.
    EXPECT_EQ(focusUntilForeground(windows, focus, alpha, alphaId, alphaTitle), a);
    EXPECT_EQ(focusUntilForeground(windows, focus, *omega, omegaId, omegaTitle), o);

    // A new title of the focused window reaches the backend.
    kill(omega->pid(), SIGUSR1);
    ASSERT_EQ(omega->readLine(hang), std::optional<std::string>("retitled"));
    EXPECT_EQ(foregroundTitled(windows, omegaLater), o);

    // Closed while focused: gone, and no longer the foreground.
    omega.reset();
    EXPECT_TRUE(windowGoes(windows, o));
    EXPECT_NE(windows.foregroundWindow(), o);
    EXPECT_TRUE(windows.isWindow(a));
}

void expectTrackerLogsFirstTitlesAndTheStretchOfAWindowClosedWhileFocused(
    platform::wayland::WaylandWindowSystem& windows, const std::vector<std::string>& environment,
    const FocusWindow& focus) {
    FakeClock clock;
    ActivityTracker tracker(windows, clock);
    // Asked again now and then: a request made before the compositor has
    // taken the window on is dropped.
    const auto focusUntilSeen = [&](const ChildProcess& window, const std::string& appId) {
        return eventuallyAsking([&] { focus(window.pid(), appId); }, 100,
                                [&] {
                                    tracker.tick();
                                    return tracker.lastForeground() != 0 &&
                                           windows.processId(tracker.lastForeground()) == window.pid();
                                },
                                hang);
    };
    const auto tickUntil = [&](const std::function<bool()>& condition) {
        return eventually(
            [&] {
                tracker.tick();
                return condition();
            },
            hang);
    };

    auto alpha = openWindow(environment, alphaTitle, "dwellmark.test.alpha");
    clock.now = 100.0F;
    ASSERT_TRUE(focusUntilSeen(*alpha, "dwellmark.test.alpha"));
    auto omega = openWindow(environment, omegaTitle, "dwellmark.test.omega", omegaLater);
    clock.now = 110.0F;
    ASSERT_TRUE(focusUntilSeen(*omega, "dwellmark.test.omega"));
    const WindowHandle o = tracker.lastForeground();

    // Renamed after its first appearance: the backend follows, the log does not.
    kill(omega->pid(), SIGUSR1);
    ASSERT_EQ(omega->readLine(hang), std::optional<std::string>("retitled"));
    ASSERT_TRUE(tickUntil([&] { return windows.getWindowTitle(o) == omegaLater; }));

    clock.now = 125.0F;
    ASSERT_TRUE(focusUntilSeen(*alpha, "dwellmark.test.alpha"));
    clock.now = 130.0F;
    ASSERT_TRUE(focusUntilSeen(*omega, "dwellmark.test.omega"));

    // Its process ends while it holds the focus.
    omega.reset();
    clock.now = 142.0F;
    ASSERT_TRUE(tickUntil([&] { return !windows.isWindow(o) && tracker.usageLog().rowCount() == 4; }));

    const std::string alphaRow = processName + " | " + alphaTitle + " | ";
    const std::string omegaRow = processName + " | " + omegaTitle + " | ";
    EXPECT_EQ(logSummary(tracker.usageLog()),
              (std::vector<std::string>{alphaRow + "10", omegaRow + "15", alphaRow + "5", omegaRow + "12"}));
}

void expectProbeEndsWithOneLineWhenKilled(const std::vector<std::string>& environment,
                                          const std::function<void()>& killCompositor) {
    ChildProcess probe({BACKEND_PROBE}, environment);
    ASSERT_EQ(probe.readLine(hang), std::optional<std::string>("ready")) << probe.errorOutput();

    killCompositor();
    expectEnds(probe, 1, lostCompositor, "the compositor died");
}

void expectEnds(ChildProcess& program, int status, const std::string& said, const std::string& after) {
    const auto ended = program.waitForExit(hang);
    ASSERT_TRUE(ended.has_value()) << "still running after " << after;
    ASSERT_TRUE(WIFEXITED(*ended)) << "ended by signal " << WTERMSIG(*ended);
    EXPECT_EQ(WEXITSTATUS(*ended), status);
    EXPECT_EQ(program.errorOutput(), said);
}

} // namespace dwellmark::testing
