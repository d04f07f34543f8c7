// The wlroots backend against a real headless sway, with windows of other processes.
#include "compositortest.h"
#include "platform/wayland/waylanddisplay.h"
#include "platform/wayland/wlroots/wlrootswindowsystem.h"
#include "wlrootssession.h"

#include <gtest/gtest.h>
#include <memory>
#include <optional>
#include <string>

namespace dwellmark::platform::wayland {
namespace {

using namespace dwellmark::testing;

class SwayDesktop : public ::testing::Test {
protected:
    void SetUp() override {
        m_sway = std::make_unique<WlrootsSession>(WlrootsSession::Compositor::Sway);
        ASSERT_TRUE(m_sway->ready()) << "sway did not start: " << m_sway->log();
    }

    std::unique_ptr<WlrootsWindowSystem> connect() {
        auto display = WaylandDisplay::connect(m_sway->waylandSocket());
        EXPECT_NE(display, nullptr);
        return display ? std::make_unique<WlrootsWindowSystem>(std::move(display), m_sway->ipcSocket()) : nullptr;
    }

    std::unique_ptr<WlrootsSession> m_sway;
};

TEST_F(SwayDesktop, TheForegroundTitlesAndProcessesFollowTheFocus) {
    auto alpha = openWindow(*m_sway, alphaTitle, "dwellmark.test.alpha");
    // Connected after one window exists and before the other: both the first
    // listing and a window announced later are seen.
    auto windows = connect();
    ASSERT_NE(windows, nullptr);
    auto omega = openWindow(*m_sway, omegaTitle, "dwellmark.test.omega", omegaLater);

    // sway focuses a new window.
    const WindowHandle o = foregroundTitled(*windows, omegaTitle);
    ASSERT_NE(o, 0);
    expectForegroundFollowsTheFocus(*windows, *alpha, omega, [&](int, const std::string& appId) {
        m_sway->command("[app_id=" + appId + "] focus");
    });
    // The window closed was the one sway focused.
    EXPECT_FALSE(windows->isWindow(o));
    // A window whose process ends while another holds the focus is gone too.
    const WindowHandle a = foregroundTitled(*windows, alphaTitle);
    ASSERT_NE(a, 0);
    auto other = openWindow(*m_sway, omegaTitle, "dwellmark.test.omega");
    ASSERT_NE(foregroundTitled(*windows, omegaTitle), 0);
    alpha.reset();
    EXPECT_TRUE(windowGoes(*windows, a));
    EXPECT_TRUE(windows->isWindow(foregroundTitled(*windows, omegaTitle)));
}

TEST_F(SwayDesktop, FindsAWindowByItsProcessTitleAndAppId) {
    // Two windows alike but for their process, as two copies of the program would be.
    auto first = openWindow(*m_sway, "Dwellmark", "dwellmark");
    auto second = openWindow(*m_sway, "Dwellmark", "dwellmark");
    auto other = openWindow(*m_sway, "Dwellmark", "dwellmark.other");
    auto windows = connect();
    ASSERT_NE(windows, nullptr);
    const auto focusProcess = [&](pid_t pid) {
        EXPECT_TRUE(m_sway->command("[pid=" + std::to_string(pid) + "] focus"));
        WindowHandle found = 0;
        eventually(
            [&] {
                windows->beginTick();
                found = windows->foregroundWindow();
                return found != 0 && windows->processId(found) == pid;
            },
            hang);
        return found;
    };
    const WindowHandle f = focusProcess(first->pid());
    const WindowHandle s = focusProcess(second->pid());
    ASSERT_NE(f, 0);
    ASSERT_NE(s, 0);
    ASSERT_NE(f, s);

    EXPECT_EQ(windows->findWindow(first->pid(), "Dwellmark", "dwellmark"), f);
    EXPECT_EQ(windows->findWindow(second->pid(), "Dwellmark", "dwellmark"), s);
    EXPECT_EQ(windows->findWindow(other->pid(), "Dwellmark", "dwellmark"), 0);
    EXPECT_EQ(windows->findWindow(first->pid(), "Dwellmark", "dwellmark.absent"), 0);
    EXPECT_EQ(windows->findWindow(first->pid(), "Chart", "dwellmark"), 0);
}

TEST_F(SwayDesktop, TheTrackerLogsFirstTitlesAndTheStretchOfAWindowClosedWhileFocused) {
    auto windows = connect();
    ASSERT_NE(windows, nullptr);
    expectTrackerLogsFirstTitlesAndTheStretchOfAWindowClosedWhileFocused(
        *windows, m_sway->clientEnvironment(),
        [&](int, const std::string& appId) { m_sway->command("[app_id=" + appId + "] focus"); });
}

TEST_F(SwayDesktop, TheSessionChoosesTheWlrootsBackend) {
    auto probe = std::make_unique<ChildProcess>(std::vector<std::string>{BACKEND_PROBE}, m_sway->clientEnvironment());
    ASSERT_EQ(probe->readLine(hang), std::optional<std::string>("ready")) << probe->errorOutput();
    probe.reset();

    // In this process too, to see which backend it is.
    expectCreatesOn<WlrootsWindowSystem>(m_sway->waylandSocket());
}

TEST_F(SwayDesktop, TheCompositorKilledEndsTheProgramWithOneLine) {
    auto window = openWindow(*m_sway, alphaTitle, "dwellmark.test.alpha");
    expectProbeEndsWithOneLineWhenKilled(m_sway->clientEnvironment(), [&] { m_sway->kill(); });
}

} // namespace
} // namespace dwellmark::platform::wayland
