// What the backend tests against a real compositor share.
#include "compositortest.h"

#include "platform/platform.h"

#include <cstdio>
#include <cstdlib>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <utility>

namespace dwellmark::testing {

ScopedEnvironment::ScopedEnvironment(std::string name, const std::optional<std::string>& value)
    : m_name(std::move(name)) {
    if (const char* old = std::getenv(m_name.c_str()); old != nullptr) {
        m_saved = old;
    }
    if (value) {
        setenv(m_name.c_str(), value->c_str(), 1);
    } else {
        unsetenv(m_name.c_str());
    }
}

ScopedEnvironment::~ScopedEnvironment() {
    if (m_saved) {
        setenv(m_name.c_str(), m_saved->c_str(), 1);
    } else {
        unsetenv(m_name.c_str());
    }
}

std::unique_ptr<ChildProcess> openWindow(const std::vector<std::string>& environment, const std::string& title,
                                         const std::string& appId, const std::string& nextTitle) {
    auto window =
        std::make_unique<ChildProcess>(std::vector<std::string>{WAYLAND_TEST_TOPLEVEL, title, appId, nextTitle},
                                       environment);
    const auto line = window->readLine(hang);
    EXPECT_EQ(line, std::optional<std::string>("mapped")) << window->errorOutput();
    return window;
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

std::unique_ptr<WindowSystem> createOn(const std::string& waylandSocket, std::string& said) {
    const ScopedEnvironment wayland("WAYLAND_DISPLAY", waylandSocket);
    ::testing::internal::CaptureStderr();
    std::unique_ptr<WindowSystem> windows;
    try {
        windows = platform::createWindowSystem();
    } catch (const platform::PlatformError& error) {
        std::fprintf(stderr, "PlatformError: %s\n", error.what());
    }
    said = ::testing::internal::GetCapturedStderr();
    return windows;
}

void expectProbeEndsWithOneLineWhenKilled(const std::vector<std::string>& environment,
                                          const std::function<void()>& killCompositor) {
    ChildProcess probe({WAYLAND_BACKEND_PROBE}, environment);
    ASSERT_EQ(probe.readLine(hang), std::optional<std::string>("ready")) << probe.errorOutput();

    killCompositor();
    const auto status = probe.waitForExit(hang);
    ASSERT_TRUE(status.has_value()) << "still running after the compositor died";
    ASSERT_TRUE(WIFEXITED(*status)) << "ended by signal " << WTERMSIG(*status);
    EXPECT_EQ(WEXITSTATUS(*status), 1);
    EXPECT_EQ(probe.errorOutput(), "dwellmark: lost the connection to the Wayland compositor\n");
}

} // namespace dwellmark::testing
