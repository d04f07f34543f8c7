// The GNOME backend against a real headless GNOME Shell with Dwellmark's extension, and windows of other processes.
#include "compositortest.h"
#include "gnomesession.h"
#include "platform/platform.h"
#include "platform/wayland/gnome/gnomewindowsystem.h"
#include "platform/wayland/waylanddisplay.h"
#include "privatedisplay.h"
#include "testdesktop.h"

#include <csignal>
#include <future>
#include <gtest/gtest.h>
#include <string>
#include <sys/wait.h>

namespace dwellmark::platform::wayland {
namespace {

using namespace dwellmark::testing;

/// The environment of the program itself in the session, on the X11 display beside it.
std::vector<std::string> programOnX11(const GnomeSession& session, const PrivateDisplay& x11) {
    auto environment = session.clientEnvironment();
    environment.insert(environment.end(), {"DISPLAY=" + x11.display(), "-QT_QPA_PLATFORM"});
    return environment;
}

TEST(GnomeDesktop, TheForegroundTitlesAndProcessesFollowTheFocus) {
    GnomeSession session(GnomeSession::Extension::Enabled);
    ASSERT_TRUE(session.ready()) << "GNOME Shell did not start: " << session.log();
    auto alpha = openWindow(session, alphaTitle, "dwellmark.test.alpha");
    auto omega = openWindow(session, omegaTitle, "dwellmark.test.omega", omegaLater);
    auto display = WaylandDisplay::connect(session.waylandSocket());
    ASSERT_NE(display, nullptr);
    GnomeWindowSystem windows(std::move(display));
    // A shell that has just started may still move the focus to its overview
    // once after a first activation: the focus is asked for until it holds.
    expectForegroundFollowsTheFocus(windows, *alpha, omega,
                                    [&](int pid, const std::string&) { session.activate(pid); });
}

TEST(GnomeDesktop, TheSessionChoosesTheGnomeBackendAndTheShellKilledEndsTheProgram) {
    GnomeSession session(GnomeSession::Extension::Enabled);
    ASSERT_TRUE(session.ready()) << "GNOME Shell did not start: " << session.log();
    expectCreatesOn<GnomeWindowSystem>(session.waylandSocket());

    auto window = openWindow(session, alphaTitle, "dwellmark.test.alpha");
    expectProbeEndsWithOneLineWhenKilled(session.clientEnvironment(), [&] { session.kill(); });
}

TEST(GnomeDesktop, TheTrackerLogsFirstTitlesAndTheStretchOfAWindowClosedWhileFocused) {
    GnomeSession session(GnomeSession::Extension::Enabled);
    ASSERT_TRUE(session.ready()) << "GNOME Shell did not start: " << session.log();
    auto display = WaylandDisplay::connect(session.waylandSocket());
    ASSERT_NE(display, nullptr);
    GnomeWindowSystem windows(std::move(display));
    expectTrackerLogsFirstTitlesAndTheStretchOfAWindowClosedWhileFocused(
        windows, session.clientEnvironment(), [&](int pid, const std::string&) { session.activate(pid); });
}

TEST(GnomeDesktop, AnExtensionTheShellKnowsIsEnabledFromTheNoticeAndFollowedWithoutARestart) {
    // Installed before the login, not enabled: the shell knows it.
    GnomeSession session(GnomeSession::Extension::Disabled);
    ASSERT_TRUE(session.ready()) << "GNOME Shell did not start: " << session.log();
    PrivateDisplay x11;
    const ScopedEnvironment onX11("DISPLAY", x11.display());
    std::string said;
    const auto desktop = openDesktopOn(session.waylandSocket(), said);
    ASSERT_NE(desktop.windows, nullptr) << said;
    EXPECT_EQ(displayProtocol(*desktop.windows), DisplayProtocol::X11);
    EXPECT_EQ(desktop.notice, "Dwellmark's GNOME Shell extension is installed but not enabled (gnome-extensions "
                              "enable dwellmark@dwellmark.org): only the windows of X11 programs (Xwayland) are seen");
    EXPECT_EQ(said, "dwellmark: " + desktop.notice + "\n");
    ASSERT_EQ(desktop.offer, "Enable the extension");
    ASSERT_TRUE(desktop.acceptOffer);

    // A Wayland window, which X11 does not see, is followed once the offer is taken.
    auto alpha = openWindow(session, alphaTitle, "dwellmark.test.alpha");
    // Its first step runs away from the user-interface thread, as the main window runs it.
    const auto finish = std::async(std::launch::async, desktop.acceptOffer).get();
    EXPECT_EQ(finish(), "");
    EXPECT_TRUE(GnomeWindowSystem::findBusNames().extension);
    WindowSystem& windows = *desktop.windows;
    const WindowHandle seen = focusUntilForeground(
        windows, [&](int pid, const std::string&) { session.activate(pid); }, *alpha, "dwellmark.test.alpha",
        alphaTitle);
    EXPECT_NE(seen, 0);
    EXPECT_EQ(windows.getProcessName(seen), processName);
}

TEST(GnomeDesktop, TheProgramsNoticeButtonEnablesTheExtensionAndTheNoticeGoes) {
    GnomeSession session(GnomeSession::Extension::Disabled);
    ASSERT_TRUE(session.ready()) << "GNOME Shell did not start: " << session.log();
    PrivateDisplay x11;
    ChildProcess program({DWELLMARK_PROGRAM}, programOnX11(session, x11));
    TestDesktop probe(x11.display());
    std::uint32_t window = 0;
    ASSERT_TRUE(eventually([&] { return (window = probe.findMappedWindow("Dwellmark")) != 0; }, hang))
        << program.errorOutput();
    const auto xdotool = [&](const std::vector<std::string>& arguments) {
        std::vector<std::string> command{"/usr/bin/xdotool"};
        command.insert(command.end(), arguments.begin(), arguments.end());
        ChildProcess tool(command, {"DISPLAY=" + x11.display()});
        std::string output;
        while (const auto line = tool.readLine(hang)) {
            output += *line + "\n";
        }
        tool.waitForExit(hang);
        return output;
    };
    const std::string id = std::to_string(window);
    ASSERT_NE(xdotool({"getwindowgeometry", "--shell", id}).find("HEIGHT=610"), std::string::npos);
    ASSERT_FALSE(GnomeWindowSystem::findBusNames().extension);

    // The button sits at the right end of the notice strip (8, 560, 544 x 44).
    xdotool({"mousemove", "--window", id, "480", "582", "click", "1"});
    EXPECT_TRUE(eventually([] { return GnomeWindowSystem::findBusNames().extension; }, hang));
    EXPECT_TRUE(eventually(
        [&] {
            return xdotool({"getwindowgeometry", "--shell", id}).find("HEIGHT=562") != std::string::npos;
        },
        hang));
    EXPECT_FALSE(program.waitForExit(std::chrono::milliseconds(0)).has_value()) << program.errorOutput();
}

TEST(GnomeDesktop, WithoutTheExtensionTheUserIsToldToInstallItAndLogInAgain) {
    GnomeSession session(GnomeSession::Extension::Absent);
    ASSERT_TRUE(session.ready()) << "GNOME Shell did not start: " << session.log();

    // With X11 beside it: followed through Xwayland, and told once on
    // standard error and once more for the main window.
    {
        PrivateDisplay x11;
        const ScopedEnvironment onX11("DISPLAY", x11.display());
        std::string said;
        const auto desktop = openDesktopOn(session.waylandSocket(), said);
        ASSERT_NE(desktop.windows, nullptr) << said;
        EXPECT_EQ(displayProtocol(*desktop.windows), DisplayProtocol::X11);
        EXPECT_NE(desktop.notice.find("extension"), std::string::npos) << desktop.notice;
        EXPECT_NE(desktop.notice.find("log out and in"), std::string::npos) << desktop.notice;
        EXPECT_EQ(said, "dwellmark: " + desktop.notice + "\n");

        // The program itself says it once on standard error, and opens its
        // window on X11.
        ChildProcess program({DWELLMARK_PROGRAM}, programOnX11(session, x11));
        TestDesktop probe(x11.display());
        EXPECT_TRUE(eventually([&] { return probe.findMappedWindow("Dwellmark") != 0; }, hang))
            << "no window \"Dwellmark\" on X11; standard error:\n"
            << program.errorOutput();
        kill(program.pid(), SIGTERM);
        EXPECT_TRUE(program.waitForExit(hang).has_value());
        const std::string programSaid = program.errorOutput();
        std::size_t lines = 0;
        for (auto at = programSaid.find(desktop.notice); at != std::string::npos;
             at = programSaid.find(desktop.notice, at + 1)) {
            ++lines;
        }
        EXPECT_EQ(lines, 1U) << programSaid;
    }

    // Without it there is no window to tell it in: one line, and status 1.
    ChildProcess probe({BACKEND_PROBE}, session.clientEnvironment());
    const auto status = probe.waitForExit(hang);
    ASSERT_TRUE(status.has_value()) << "the probe runs on without a desktop";
    ASSERT_TRUE(WIFEXITED(*status));
    EXPECT_EQ(WEXITSTATUS(*status), 1);
    const std::string said = probe.errorOutput();
    EXPECT_NE(said.find("extension"), std::string::npos) << said;
    EXPECT_NE(said.find("log out and in"), std::string::npos) << said;
    EXPECT_EQ(said.find('\n'), said.size() - 1) << "one line: " << said;
}

} // namespace
} // namespace dwellmark::platform::wayland
