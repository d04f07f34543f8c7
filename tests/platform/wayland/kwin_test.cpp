// The KDE Plasma backend against a real virtual KWin, with windows of other processes.
#include "compositortest.h"
#include "kwinsession.h"
#include "platform/platform.h"
#include "platform/wayland/kdewindowsystem.h"
#include "platform/wayland/waylanddisplay.h"

#include <csignal>
#include <filesystem>
#include <gtest/gtest.h>
#include <memory>
#include <string>

namespace dwellmark::platform::wayland {
namespace {

using namespace dwellmark::testing;

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
        return testing::openWindow(m_kwin->clientEnvironment(), title, appId, nextTitle);
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
    expectCreatesOn<KdeWindowSystem>(m_kwin->waylandSocket());
}

TEST_F(KwinDesktop, TheCompositorKilledEndsTheProgramWithOneLine) {
    auto window = openWindow(alphaTitle, "dwellmark.test.alpha");
    expectProbeEndsWithOneLineWhenKilled(m_kwin->clientEnvironment(), [&] { m_kwin->kill(); });
}

} // namespace
} // namespace dwellmark::platform::wayland
