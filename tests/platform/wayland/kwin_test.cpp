// The KDE Plasma backend against a real virtual KWin, with windows of other processes.
#include "childprocess.h"
#include "kwinsession.h"
#include "platform/platform.h"
#include "platform/wayland/kdewindowsystem.h"
#include "platform/wayland/waylanddisplay.h"

#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <gtest/gtest.h>
#include <memory>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

namespace dwellmark::platform::wayland {
namespace {

using dwellmark::testing::ChildProcess;
using dwellmark::testing::eventually;
using dwellmark::testing::KwinSession;

// Limits that only catch hangs: a loaded machine is slow, never this slow.
constexpr std::chrono::seconds hang(30);

const std::string alphaTitle = "Alpha";
const std::string omegaTitle = "\xCE\xA9mega \xE2\x80\x93 Gr\xC3\xBC\xC3\x9F" "e";
const std::string omegaLater = "Omega, renamed";
const std::string processName = "wayland_test_toplevel";

std::string ownExecutable() {
    return std::filesystem::read_symlink("/proc/self/exe");
}

class KwinDesktop : public ::testing::Test {
protected:
    void SetUp() override {
        m_kwin = std::make_unique<KwinSession>(std::vector<std::string>{ownExecutable(), WAYLAND_BACKEND_PROBE});
        ASSERT_TRUE(m_kwin->ready()) << "KWin did not start: " << m_kwin->log();
    }

    /// A window of its own process, once KWin shows it.
    std::unique_ptr<ChildProcess> openWindow(const std::string& title, const std::string& appId,
                                             const std::string& nextTitle = "next") {
        auto window =
            std::make_unique<ChildProcess>(std::vector<std::string>{WAYLAND_TEST_TOPLEVEL, title, appId, nextTitle},
                                           m_kwin->clientEnvironment());
        const auto line = window->readLine(hang);
        EXPECT_EQ(line, std::optional<std::string>("mapped")) << window->errorOutput();
        return window;
    }

    /// Ticks the backend until the foreground window has the title.
    static WindowHandle foregroundTitled(KdeWindowSystem& windows, const std::string& title) {
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

    std::unique_ptr<KwinSession> m_kwin;
};

TEST_F(KwinDesktop, TheForegroundTitlesAndProcessesFollowTheFocus) {
    auto alpha = openWindow(alphaTitle, "dwellmark.test.alpha");
    // Connected after one window exists and before the other: both the first
    // listing and a window announced later are seen.
    auto display = WaylandDisplay::connect(m_kwin->waylandSocket());
    ASSERT_NE(display, nullptr);
    KdeWindowSystem windows(std::move(display));
    const WindowHandle a = foregroundTitled(windows, alphaTitle);
    ASSERT_NE(a, 0);

    auto omega = openWindow(omegaTitle, "dwellmark.test.omega", omegaLater);
    // KWin gives a new window the focus.
    const WindowHandle o = foregroundTitled(windows, omegaTitle);
    ASSERT_NE(o, 0);
    EXPECT_NE(a, o);
    EXPECT_EQ(windows.appId(a), "dwellmark.test.alpha");
    EXPECT_EQ(windows.appId(o), "dwellmark.test.omega");
    EXPECT_EQ(windows.processId(a), alpha->pid());
    EXPECT_EQ(windows.processId(o), omega->pid());
    EXPECT_EQ(windows.getProcessName(a), processName);
    EXPECT_EQ(windows.getProcessName(o), processName);
    EXPECT_EQ(windows.findWindow(omega->pid(), omegaTitle, "dwellmark.test.omega"), o);
    EXPECT_EQ(windows.findWindow(alpha->pid(), omegaTitle, "dwellmark.test.omega"), 0);

    // A new title reaches the backend.
    kill(omega->pid(), SIGUSR1);
    ASSERT_EQ(omega->readLine(hang), std::optional<std::string>("retitled"));
    EXPECT_EQ(foregroundTitled(windows, omegaLater), o);

    // Closed while focused: gone, and the focus goes back to the other window, under its old number.
    omega.reset();
    EXPECT_EQ(foregroundTitled(windows, alphaTitle), a);
    EXPECT_FALSE(windows.isWindow(o));
    EXPECT_TRUE(windows.isWindow(a));
}

TEST_F(KwinDesktop, TheSessionChoosesTheKdeBackend) {
    const char* oldWayland = std::getenv("WAYLAND_DISPLAY");
    const std::string saved = oldWayland != nullptr ? oldWayland : "";
    setenv("WAYLAND_DISPLAY", m_kwin->waylandSocket().c_str(), 1);
    ::testing::internal::CaptureStderr();
    auto windows = createWindowSystem();
    const std::string said = ::testing::internal::GetCapturedStderr();
    if (oldWayland != nullptr) {
        setenv("WAYLAND_DISPLAY", saved.c_str(), 1);
    } else {
        unsetenv("WAYLAND_DISPLAY");
    }
    EXPECT_NE(dynamic_cast<KdeWindowSystem*>(windows.get()), nullptr);
    EXPECT_EQ(said, "");
}

TEST_F(KwinDesktop, TheCompositorKilledEndsTheProgramWithOneLine) {
    auto window = openWindow(alphaTitle, "dwellmark.test.alpha");
    ChildProcess probe({WAYLAND_BACKEND_PROBE}, m_kwin->clientEnvironment());
    ASSERT_EQ(probe.readLine(hang), std::optional<std::string>("ready")) << probe.errorOutput();

    m_kwin->kill();
    const auto status = probe.waitForExit(hang);
    ASSERT_TRUE(status.has_value()) << "still running after the compositor died";
    ASSERT_TRUE(WIFEXITED(*status)) << "ended by signal " << WTERMSIG(*status);
    EXPECT_EQ(WEXITSTATUS(*status), 1);
    EXPECT_EQ(probe.errorOutput(), "dwellmark: lost the connection to the Wayland compositor\n");
}

} // namespace
} // namespace dwellmark::platform::wayland
