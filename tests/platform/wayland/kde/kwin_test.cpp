// The KDE Plasma backends against a real virtual KWin, with windows of other
// processes: through KWin's window-management protocol, offered to this test
// by a desktop file, and through Dwellmark's KWin script where it is not.
#include "compositortest.h"
#include "kwinsession.h"
#include "platform/platform.h"
#include "platform/wayland/kde/kdewindowsystem.h"
#include "platform/wayland/kde/kwinscriptwindowsystem.h"
#include "platform/wayland/waylanddisplay.h"

#include <csignal>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <memory>
#include <ostream>
#include <string>

namespace dwellmark::platform::wayland {
namespace {

using namespace dwellmark::testing;

/// How KWin shows its windows to the test.
enum class Showing { Protocol, Script };

class KwinDesktop : public ::testing::TestWithParam<Showing> {
protected:
    void SetUp() override {
        // Without a desktop file that names them, KWin offers no program its protocol.
        m_kwin = std::make_unique<KwinSession>(
            GetParam() == Showing::Protocol
                ? std::vector<std::string>{std::filesystem::read_symlink("/proc/self/exe"), BACKEND_PROBE}
                : std::vector<std::string>{});
        ASSERT_TRUE(m_kwin->ready()) << "KWin did not start: " << m_kwin->log();
    }

    /// The backend of this way of showing.
    std::unique_ptr<WaylandWindowSystem> connect() {
        auto display = WaylandDisplay::connect(m_kwin->waylandSocket());
        EXPECT_NE(display, nullptr);
        if (!display) {
            return nullptr;
        }
        if (GetParam() == Showing::Protocol) {
            return std::make_unique<KdeWindowSystem>(std::move(display));
        }
        const std::string script = KwinScriptWindowSystem::findScript();
        EXPECT_NE(script, "") << "no " << KwinScriptWindowSystem::scriptFileName << " beside the test";
        return std::make_unique<KwinScriptWindowSystem>(std::move(display), script);
    }

    std::unique_ptr<KwinSession> m_kwin;
};

TEST_P(KwinDesktop, TheForegroundTitlesAndProcessesFollowTheFocus) {
    auto alpha = openWindow(*m_kwin, alphaTitle, "dwellmark.test.alpha");
    // Connected after one window exists and before the other: the window
    // active at the start and a window shown later are both seen.
    auto windows = connect();
    ASSERT_NE(windows, nullptr);
    const WindowHandle a = foregroundTitled(*windows, alphaTitle);
    ASSERT_NE(a, 0);

    auto omega = openWindow(*m_kwin, omegaTitle, "dwellmark.test.omega", omegaLater);
    // KWin gives a new window the focus.
    const WindowHandle o = foregroundTitled(*windows, omegaTitle);
    ASSERT_NE(o, 0);
    EXPECT_NE(a, o);
    expectForegroundFollowsTheFocus(*windows, *alpha, omega,
                                    [&](int, const std::string& appId) { m_kwin->activate(appId); });
    // The focus goes back to the other window, under its old number; the
    // window closed was the one KWin focused (its number is gone).
    EXPECT_EQ(foregroundTitled(*windows, alphaTitle), a);
    EXPECT_FALSE(windows->isWindow(o));
}

TEST_P(KwinDesktop, TheTrackerLogsFirstTitlesAndTheStretchOfAWindowClosedWhileFocused) {
    auto windows = connect();
    ASSERT_NE(windows, nullptr);
    expectTrackerLogsFirstTitlesAndTheStretchOfAWindowClosedWhileFocused(
        *windows, m_kwin->clientEnvironment(), [&](int, const std::string& appId) { m_kwin->activate(appId); });
}

TEST_P(KwinDesktop, TheSessionChoosesTheBackend) {
    if (GetParam() == Showing::Protocol) {
        expectCreatesOn<KdeWindowSystem>(m_kwin->waylandSocket());
    } else {
        expectCreatesOn<KwinScriptWindowSystem>(m_kwin->waylandSocket());
    }
}

TEST_P(KwinDesktop, DwellmarksScriptRunsOnlyWhileTheScriptBackendLives) {
    auto windows = connect();
    ASSERT_NE(windows, nullptr);
    EXPECT_EQ(m_kwin->scriptLoaded(KwinScriptWindowSystem::pluginName), GetParam() == Showing::Script);
    if (GetParam() == Showing::Script) {
        // A second copy cannot take the reports from the first, and says why.
        try {
            connect();
            ADD_FAILURE() << "a second script backend started";
        } catch (const PlatformError& error) {
            EXPECT_NE(std::string(error.what()).find("another Dwellmark"), std::string::npos) << error.what();
        }
        EXPECT_TRUE(m_kwin->scriptLoaded(KwinScriptWindowSystem::pluginName));
    }
    windows.reset();
    EXPECT_FALSE(m_kwin->scriptLoaded(KwinScriptWindowSystem::pluginName));
}

TEST_P(KwinDesktop, TheCompositorKilledEndsTheProgramWithOneLine) {
    auto window = openWindow(*m_kwin, alphaTitle, "dwellmark.test.alpha");
    expectProbeEndsWithOneLineWhenKilled(m_kwin->clientEnvironment(), [&] { m_kwin->kill(); });
}

TEST(KwinBesideOtherScripts, DwellmarksScriptAloneRunsWhateverNumberKwinGivesIt) {
    KwinSession kwin({});
    ASSERT_TRUE(kwin.ready()) << "KWin did not start: " << kwin.log();
    // Another program runs two scripts, loads two more and unloads the first:
    // KWin numbers the next script by how many are loaded, the number of the last.
    for (const std::string name : {"other-first", "other-second"}) {
        const std::string file = kwin.folder() + "/" + name + ".js";
        std::ofstream(file) << "print('" << name << "');\n";
        const auto id = kwin.loadScript(file, name);
        ASSERT_TRUE(id.has_value()) << name;
        ASSERT_TRUE(kwin.runScript(*id)) << name;
    }
    // The third waits to be run, and would unload the fourth, never run, if it were.
    const std::string waiting = kwin.folder() + "/other-waiting.js";
    std::ofstream(waiting) << "callDBus('org.kde.KWin', '/Scripting', 'org.kde.kwin.Scripting', 'unloadScript', "
                              "'other-witness');\n";
    const auto waitingId = kwin.loadScript(waiting, "other-waiting");
    ASSERT_TRUE(waitingId.has_value());
    ASSERT_TRUE(kwin.loadScript(kwin.folder() + "/other-witness.js", "other-witness").has_value());

    ASSERT_TRUE(kwin.unloadScript("other-first"));

    auto alpha = openWindow(kwin, alphaTitle, "dwellmark.test.alpha");
    auto display = WaylandDisplay::connect(kwin.waylandSocket());
    ASSERT_NE(display, nullptr);
    KwinScriptWindowSystem windows(std::move(display), KwinScriptWindowSystem::findScript());
    EXPECT_NE(foregroundTitled(windows, alphaTitle), 0);
    EXPECT_TRUE(kwin.scriptLoaded("other-second"));
    // Dwellmark ran its own script alone.
    EXPECT_TRUE(kwin.scriptLoaded("other-witness"));
    // Run by its program, it does what it would have done.
    ASSERT_TRUE(kwin.runScript(*waitingId));
    EXPECT_TRUE(testing::eventually([&] { return !kwin.scriptLoaded("other-witness"); }, hang));
}

std::string nameOf(const ::testing::TestParamInfo<Showing>& showing) {
    return showing.param == Showing::Protocol ? "Protocol" : "Script";
}

void PrintTo(Showing showing, std::ostream* out) {
    *out << (showing == Showing::Protocol ? "through the protocol" : "through the script");
}

INSTANTIATE_TEST_SUITE_P(Kwin, KwinDesktop, ::testing::Values(Showing::Protocol, Showing::Script), nameOf);

} // namespace
} // namespace dwellmark::platform::wayland
