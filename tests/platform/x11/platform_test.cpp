// Opening the desktop on X11: a missing or unreachable display, a Wayland session, the private
// display's session, and a server that dies.
#include "childprocess.h"
#include "platform/platform.h"
#include "privatedisplay.h"
#include "scopedenvironment.h"

#include <cstdlib>
#include <functional>
#include <gtest/gtest.h>
#include <string>
#include <sys/wait.h>

namespace dwellmark::platform {
namespace {

std::string messageOf(const std::function<void()>& action) {
    try {
        action();
    } catch (const PlatformError& error) {
        return error.what();
    }
    return "(no PlatformError)";
}

TEST(CreateWindowSystem, WithoutADisplayFailsWithALineNamingDisplay) {
    testing::ScopedEnvironment environment({"XDG_SESSION_TYPE=x11", "-WAYLAND_DISPLAY", "-DISPLAY"});
    const std::string unset = messageOf([] { createWindowSystem(); });
    EXPECT_NE(unset.find("DISPLAY"), std::string::npos) << unset;
    EXPECT_EQ(unset.find('\n'), std::string::npos);

    // A display number no server listens on.
    environment.set("DISPLAY", ":4093");
    const std::string unreachable = messageOf([] { createWindowSystem(); });
    EXPECT_NE(unreachable.find("DISPLAY=:4093"), std::string::npos) << unreachable;
}

TEST(CreateWindowSystem, TellsAWaylandSessionThatOnlyX11WindowsAreSeen) {
    testing::PrivateDisplay server{testing::PrivateDisplay::WindowManager::None};
    testing::ScopedEnvironment environment(
        {"-WAYLAND_DISPLAY", "DISPLAY=" + server.display(), "XDG_SESSION_TYPE=wayland"});
    ::testing::internal::CaptureStderr();
    auto desktop = openDesktop();
    const std::string notice = ::testing::internal::GetCapturedStderr();
    EXPECT_NE(desktop.windows, nullptr);
    // WAYLAND_DISPLAY unset is how the user asks for X11: not for the window.
    EXPECT_EQ(desktop.notice, "");
    EXPECT_NE(notice.find("Wayland"), std::string::npos) << notice;
    EXPECT_NE(notice.find("X11"), std::string::npos) << notice;
    EXPECT_EQ(notice.find('\n'), notice.size() - 1) << "one line: " << notice;

    environment.set("XDG_SESSION_TYPE", "x11");
    ::testing::internal::CaptureStderr();
    auto windows = createWindowSystem();
    EXPECT_EQ(::testing::internal::GetCapturedStderr(), "");
}

// A test started from a Wayland session must not reach the user's compositor.
TEST(PrivateDisplay, ItsSessionHasNoWaylandDisplayLeftOver) {
    const testing::ScopedEnvironment environment(
        {"WAYLAND_DISPLAY=wayland-of-the-user", "WAYLAND_SOCKET=7", "XDG_SESSION_TYPE=wayland", "DISPLAY=:4093"});
    testing::PrivateDisplay server{testing::PrivateDisplay::WindowManager::None};

    testing::ChildProcess shell(
        {"/bin/sh", "-c", "echo \"$DISPLAY|$XDG_SESSION_TYPE|${WAYLAND_DISPLAY-unset}|${WAYLAND_SOCKET-unset}\""},
        testing::PrivateDisplay::sessionEnvironment(server.display()));
    EXPECT_EQ(shell.readLine(std::chrono::seconds(120)), server.display() + "|x11|unset|unset");

    server.useForThisProcess();
    EXPECT_STREQ(std::getenv("DISPLAY"), server.display().c_str());
    EXPECT_STREQ(std::getenv("XDG_SESSION_TYPE"), "x11");
    EXPECT_EQ(std::getenv("WAYLAND_DISPLAY"), nullptr);
    EXPECT_EQ(std::getenv("WAYLAND_SOCKET"), nullptr);
}

TEST(LostConnection, EndsTheProgramWithOneLineWhenTheServerDies) {
    testing::PrivateDisplay server{testing::PrivateDisplay::WindowManager::None};
    testing::ChildProcess probe({BACKEND_PROBE, "--every-millisecond"},
                                testing::PrivateDisplay::sessionEnvironment(server.display()));
    ASSERT_EQ(probe.readLine(std::chrono::seconds(120)), "ready");

    server.killServer();
    const auto status = probe.waitForExit(std::chrono::seconds(120));
    ASSERT_TRUE(status.has_value()) << "still running two minutes after the server died";
    ASSERT_TRUE(WIFEXITED(*status)) << "ended by signal " << WTERMSIG(*status);
    EXPECT_NE(WEXITSTATUS(*status), 0);
    EXPECT_EQ(probe.errorOutput(), "dwellmark: lost the connection to the X server\n");
}

} // namespace
} // namespace dwellmark::platform
