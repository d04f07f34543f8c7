// The wlroots backend on each headless wlroots compositor as a program other
// than sway finds it: the protocol, and no IPC that names a process. sway
// without its socket stands for the others where they are not installed.
#include "compositortest.h"
#include "fakes.h"
#include "platform/platform.h"
#include "platform/wayland/waylanddisplay.h"
#include "platform/wayland/wlroots/wlrootswindowsystem.h"
#include "tablecells.h"
#include "tracking/activitytracker.h"
#include "wlrootssession.h"

#include <gtest/gtest.h>
#include <memory>
#include <optional>
#include <ostream>
#include <string>

namespace dwellmark::platform::wayland {
namespace {

using namespace dwellmark::testing;
using Compositor = WlrootsSession::Compositor;

class WlrootsDesktop : public ::testing::TestWithParam<Compositor> {
protected:
    void SetUp() override {
        if (const auto why = WlrootsSession::unavailable(GetParam())) {
            GTEST_SKIP() << *why;
        }
        m_session = std::make_unique<WlrootsSession>(GetParam());
        ASSERT_TRUE(m_session->ready()) << WlrootsSession::name(GetParam()) << " did not start: " << m_session->log();
    }

    std::unique_ptr<WlrootsSession> m_session;
};

TEST_P(WlrootsDesktop, TheApplicationIsTheAppIdAndTheForegroundFollowsTheFocus) {
    auto alpha = openWindow(*m_session, alphaTitle, "dwellmark.test.alpha");
    auto display = WaylandDisplay::connect(m_session->waylandSocket());
    ASSERT_NE(display, nullptr);
    WlrootsWindowSystem windows(std::move(display), std::nullopt);
    FakeClock clock;
    ActivityTracker tracker(windows, clock);
    // Asked again now and then: a request made before the compositor has
    // taken the window on is dropped.
    const auto focusUntilForeground = [&](const std::string& appId, const std::string& title) {
        return eventuallyAsking([&] { m_session->activate(appId); }, 100,
                                [&] {
                                    tracker.tick();
                                    return windows.getWindowTitle(tracker.lastForeground()) == title;
                                },
                                hang);
    };
    clock.now = 100.0F;
    ASSERT_TRUE(focusUntilForeground("dwellmark.test.alpha", alphaTitle));
    const WindowHandle a = tracker.lastForeground();
    auto omega = openWindow(*m_session, omegaTitle, "dwellmark.test.omega", omegaLater);
    clock.now = 107.0F;
    ASSERT_TRUE(focusUntilForeground("dwellmark.test.omega", omegaTitle));
    const WindowHandle o = tracker.lastForeground();
    EXPECT_NE(a, o);
    EXPECT_EQ(windows.processId(o), 0);
    EXPECT_EQ(windows.getProcessName(o), "dwellmark.test.omega");
    EXPECT_EQ(windows.findWindow(0, omegaTitle, "dwellmark.test.omega"), o);

    // A new title reaches the backend, the log keeps the first.
    kill(omega->pid(), SIGUSR1);
    ASSERT_EQ(omega->readLine(hang), std::optional<std::string>("retitled"));
    EXPECT_EQ(foregroundTitled(windows, omegaLater), o);

    clock.now = 110.0F;
    ASSERT_TRUE(focusUntilForeground("dwellmark.test.alpha", alphaTitle));
    EXPECT_EQ(tracker.lastForeground(), a);

    // A window whose process ends is gone.
    omega.reset();
    EXPECT_TRUE(windowGoes(windows, o));

    EXPECT_EQ(logSummary(tracker.usageLog()),
              (std::vector<std::string>{"dwellmark.test.alpha | " + alphaTitle + " | 7",
                                        "dwellmark.test.omega | " + omegaTitle + " | 3"}));
}

TEST_P(WlrootsDesktop, TheSessionChoosesTheWlrootsBackendAndTheCompositorKilledEndsTheProgram) {
    {
        // As the program opens it, without SWAYSOCK.
        const ScopedEnvironment noSway("SWAYSOCK", std::nullopt);
        std::string said;
        const auto desktop = openDesktopOn(m_session->waylandSocket(), said);
        EXPECT_NE(dynamic_cast<const WlrootsWindowSystem*>(desktop.windows.get()), nullptr) << said;
        EXPECT_EQ(said, "");
    }
    auto window = openWindow(*m_session, alphaTitle, "dwellmark.test.alpha");
    expectProbeEndsWithOneLineWhenKilled({"WAYLAND_DISPLAY=" + m_session->waylandSocket(), "-SWAYSOCK", "-DISPLAY"},
                                         [&] { m_session->kill(); });
}

std::string nameOf(const ::testing::TestParamInfo<Compositor>& compositor) {
    return WlrootsSession::name(compositor.param);
}

INSTANTIATE_TEST_SUITE_P(Wlroots, WlrootsDesktop,
                         ::testing::Values(Compositor::Sway, Compositor::Labwc, Compositor::Wayfire), nameOf);

} // namespace
} // namespace dwellmark::platform::wayland

namespace dwellmark::testing {

void PrintTo(WlrootsSession::Compositor compositor, std::ostream* out) {
    *out << WlrootsSession::name(compositor);
}

} // namespace dwellmark::testing
