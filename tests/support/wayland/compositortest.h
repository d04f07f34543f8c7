// What the backend tests against a real compositor share: their windows, their limits and their checks.
#pragma once

#include "childprocess.h"
#include "compositorsession.h"
#include "platform/platform.h"
#include "platform/wayland/waylandwindowsystem.h"
#include "scopedenvironment.h"
#include "tracking/windowsystem.h"

#include <chrono>
#include <functional>
#include <gtest/gtest.h>
#include <memory>
#include <string>
#include <vector>

namespace dwellmark::testing {

// Limits that only catch hangs: a loaded machine is slow, never this slow.
constexpr std::chrono::seconds hang(30);

inline const std::string alphaTitle = "Alpha";
inline const std::string omegaTitle = "\xCE\xA9mega \xE2\x80\x93 Gr\xC3\xBC\xC3\x9F"
                                      "e";
inline const std::string omegaLater = "Omega, renamed";
inline const std::string processName = "wayland_test_toplevel";
inline const std::string lostCompositor = "dwellmark: lost the connection to the Wayland compositor\n";

/// A window of its own process in the session that the environment names,
/// once the compositor shows it; it takes the next title on SIGUSR1.
std::unique_ptr<ChildProcess> openWindow(const std::vector<std::string>& environment, const std::string& title,
                                         const std::string& appId, const std::string& nextTitle = "next");
/// The same in the session.
std::unique_ptr<ChildProcess> openWindow(const CompositorSession& session, const std::string& title,
                                         const std::string& appId, const std::string& nextTitle = "next");

/// Ticks the backend until the foreground window has the title; that window, or 0.
WindowHandle foregroundTitled(WindowSystem& windows, const std::string& title);

/// Opens the desktop on the Wayland display at the socket as the program
/// does; what it made (no window system when it gave up), and in `said` what
/// it wrote to standard error.
platform::Desktop openDesktopOn(const std::string& waylandSocket, std::string& said);

/// Checks that the desktop on the Wayland display at the socket is followed
/// by a Backend, and that nothing is said about it.
template <class Backend>
void expectCreatesOn(const std::string& waylandSocket) {
    std::string said;
    const auto desktop = openDesktopOn(waylandSocket, said);
    EXPECT_NE(dynamic_cast<const Backend*>(desktop.windows.get()), nullptr) << said;
    EXPECT_EQ(said, "");
    EXPECT_EQ(desktop.notice, "");
}

/// Asks the compositor to focus the window of a test window's process, known
/// by its pid and its app id (each compositor's test uses the one it can).
using FocusWindow = std::function<void(int pid, const std::string& appId)>;

/// Asks the compositor to focus the window, now and then (a request made
/// before the compositor has taken the window on is dropped), while ticking
/// the backend until the foreground window has the title; that window, or 0.
WindowHandle focusUntilForeground(WindowSystem& windows, const FocusWindow& focus, const ChildProcess& window,
                                  const std::string& appId, const std::string& title);

/// Ticks the backend until the window is gone; whether it went.
bool windowGoes(WindowSystem& windows, WindowHandle window);

/// Checks the backend while the compositor focuses two windows of other
/// processes in turn, alpha (alphaTitle, app id dwellmark.test.alpha) and
/// omega (omegaTitle, dwellmark.test.omega, renamed omegaLater): each is the
/// foreground with its title, app id and process, under a number of its own
/// that stays when it is focused again; a new title of the focused window
/// reaches the backend; closed while focused, omega is gone and alpha stays.
void expectForegroundFollowsTheFocus(platform::wayland::WaylandWindowSystem& windows, const ChildProcess& alpha,
                                     std::unique_ptr<ChildProcess>& omega, const FocusWindow& focus);

/// Runs the tracker on the backend while two windows of other processes take
/// the focus in turn: each is logged under the title it had first, also after
/// a new title, with the application named, and the one closed while it holds
/// the focus has its last stretch logged too. focus is called until the
/// tracker sees the window it asked for.
void expectTrackerLogsFirstTitlesAndTheStretchOfAWindowClosedWhileFocused(
    platform::wayland::WaylandWindowSystem& windows, const std::vector<std::string>& environment,
    const FocusWindow& focus);

/// Checks that the program ends within the limit, with the exit status and
/// what it wrote to standard error; `after` names what should end it.
void expectEnds(ChildProcess& program, int status, const std::string& said, const std::string& after);

/// Starts the backend probe in the session, kills the compositor, and checks
/// that the probe ends with status 1 and one line that says why.
void expectProbeEndsWithOneLineWhenKilled(const std::vector<std::string>& environment,
                                          const std::function<void()>& killCompositor);

} // namespace dwellmark::testing
