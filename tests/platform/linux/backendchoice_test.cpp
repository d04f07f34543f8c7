// Which backend each kind of Linux session gets, and what the user is told.
#include "platform/linux/backendchoice.h"
#include "platform/platform.h"
#include "scopedenvironment.h"

#include <gtest/gtest.h>
#include <optional>

namespace dwellmark::platform::linux {
namespace {

bool oneLine(const std::string& text) {
    return text.find('\n') == std::string::npos;
}

TEST(ChooseBackend, AWaylandSessionUsesTheCompositorsProtocolWhenOffered) {
    SessionFacts facts{"wayland-1", true, true, false, false, false, ":0", "wayland"};
    const BackendChoice choice = chooseBackend(facts);
    EXPECT_EQ(choice.backend, Backend::Wlroots);
    EXPECT_EQ(choice.message, "");

    // Without Xwayland as well.
    facts.x11Display.clear();
    EXPECT_EQ(chooseBackend(facts).backend, Backend::Wlroots);

    // KWin's protocol when the wlroots one is not offered; wlroots first when both are.
    const BackendChoice kde = chooseBackend({"wayland-0", true, false, true, false, false, ":1", "wayland"});
    EXPECT_EQ(kde.backend, Backend::Kde);
    EXPECT_EQ(kde.message, "");
    EXPECT_EQ(chooseBackend({"wayland-0", true, true, true, false, false, ":1", "wayland"}).backend, Backend::Wlroots);
}

TEST(ChooseBackend, KwinWithoutItsProtocolForDwellmarkRunsDwellmarksScript) {
    SessionFacts facts{"wayland-0", true, false, false, false, false, ":1", "wayland"};
    facts.kwinOnBus = true;
    const BackendChoice script = chooseBackend(facts);
    EXPECT_EQ(script.backend, Backend::KwinScript);
    EXPECT_EQ(script.message, "");
    // Both protocols come first; the script before GNOME's extension, whose
    // name on the bus no KWin session has.
    facts.kdeWindows = true;
    EXPECT_EQ(chooseBackend(facts).backend, Backend::Kde);
    facts.kdeWindows = false;
    facts.wlrootsToplevels = true;
    EXPECT_EQ(chooseBackend(facts).backend, Backend::Wlroots);
    facts.wlrootsToplevels = false;
    facts.gnomeExtension = true;
    EXPECT_EQ(chooseBackend(facts).backend, Backend::KwinScript);
    // Not without a compositor that answers.
    facts.waylandReachable = false;
    EXPECT_EQ(chooseBackend(facts).backend, Backend::X11);
}

TEST(ChooseBackend, AWaylandSessionWithoutTheProtocolFallsBackToXwaylandWithOneWarning) {
    const BackendChoice choice = chooseBackend({"wayland-0", true, false, false, false, false, ":1", "wayland"});
    EXPECT_EQ(choice.backend, Backend::X11);
    EXPECT_NE(choice.message.find("zwlr_foreign_toplevel_manager_v1"), std::string::npos) << choice.message;
    EXPECT_NE(choice.message.find("org_kde_plasma_window_management"), std::string::npos) << choice.message;
    EXPECT_NE(choice.message.find("WAYLAND_DISPLAY=wayland-0"), std::string::npos) << choice.message;
    EXPECT_NE(choice.message.find("X11"), std::string::npos) << choice.message;
    EXPECT_TRUE(oneLine(choice.message));

    // A compositor that does not answer is named as such.
    const BackendChoice gone = chooseBackend({"wayland-9", false, false, false, false, false, ":1", "wayland"});
    EXPECT_EQ(gone.backend, Backend::X11);
    EXPECT_NE(gone.message.find("no Wayland compositor answers at WAYLAND_DISPLAY=wayland-9"), std::string::npos)
        << gone.message;
}

TEST(ChooseBackend, GnomeShellWithoutTheExtensionGivesTheStepsInTheOrderThatWorks) {
    SessionFacts facts{"wayland-0", true, false, false, false, true, ":1", "wayland"};
    // Installed since the login: GNOME Shell learns of it at the next one.
    const BackendChoice unknown = chooseBackend(facts);
    EXPECT_EQ(unknown.backend, Backend::X11);
    EXPECT_EQ(unknown.message, "GNOME Shell runs without Dwellmark's extension (install it, log out and in, then "
                               "enable it: gnome-extensions enable dwellmark@dwellmark.org): only the windows of X11 "
                               "programs (Xwayland) are seen");
    EXPECT_FALSE(unknown.offerGnomeExtension);
    // Known to the shell: enabling it is all, and the main window offers it.
    facts.gnomeExtensionKnown = true;
    const BackendChoice known = chooseBackend(facts);
    EXPECT_EQ(known.backend, Backend::X11);
    EXPECT_EQ(known.message, "Dwellmark's GNOME Shell extension is installed but not enabled (gnome-extensions enable "
                             "dwellmark@dwellmark.org): only the windows of X11 programs (Xwayland) are seen");
    EXPECT_TRUE(known.offerGnomeExtension);
    // Without X11 there is no window to offer it in; the line says how.
    facts.x11Display.clear();
    const BackendChoice alone = chooseBackend(facts);
    EXPECT_EQ(alone.backend, Backend::None);
    EXPECT_NE(alone.message.find("gnome-extensions enable dwellmark@dwellmark.org"), std::string::npos);
    EXPECT_FALSE(alone.offerGnomeExtension);
}

TEST(ChooseBackend, WithoutWaylandX11AsBefore) {
    EXPECT_EQ(chooseBackend({"", false, false, false, false, false, ":0", "x11"}).backend, Backend::X11);
    EXPECT_EQ(chooseBackend({"", false, false, false, false, false, ":0", "x11"}).message, "");
    EXPECT_EQ(chooseBackend({"", false, false, false, false, false, ":0", ""}).message, "");
    // WAYLAND_DISPLAY unset on purpose in a Wayland session: X11, and a word that only X11 windows are seen.
    const BackendChoice unset = chooseBackend({"", false, false, false, false, false, ":0", "wayland"});
    EXPECT_EQ(unset.backend, Backend::X11);
    EXPECT_NE(unset.message.find("X11"), std::string::npos);
    EXPECT_TRUE(oneLine(unset.message));
}

TEST(ChooseBackend, NoDisplayAtAllNamesWhatWasTried) {
    const BackendChoice none = chooseBackend({"", false, false, false, false, false, "", "tty"});
    EXPECT_EQ(none.backend, Backend::None);
    EXPECT_NE(none.message.find("WAYLAND_DISPLAY"), std::string::npos) << none.message;
    EXPECT_NE(none.message.find("DISPLAY"), std::string::npos) << none.message;

    const BackendChoice waylandOnly = chooseBackend({"wayland-1", true, false, false, false, false, "", "wayland"});
    EXPECT_EQ(waylandOnly.backend, Backend::None);
    EXPECT_NE(waylandOnly.message.find("zwlr_foreign_toplevel_manager_v1"), std::string::npos);
    EXPECT_NE(waylandOnly.message.find("DISPLAY is not set"), std::string::npos) << waylandOnly.message;
    EXPECT_TRUE(oneLine(waylandOnly.message));
}

std::string failureOfCreate() {
    try {
        createWindowSystem();
    } catch (const PlatformError& error) {
        return error.what();
    }
    return "(no PlatformError)";
}

TEST(CreateWindowSystem, NamesBothDisplaysWhenNeitherAnswers) {
    // Without a runtime folder the Wayland library has its say too; the user reads one line all the same.
    testing::ScopedEnvironment environment(
        {"WAYLAND_DISPLAY=dwellmark-test-nowhere", "XDG_SESSION_TYPE=wayland", "-XDG_RUNTIME_DIR", "DISPLAY=:4093"});
    ::testing::internal::CaptureStderr();
    const std::string both = failureOfCreate();
    EXPECT_EQ(::testing::internal::GetCapturedStderr(), "");
    EXPECT_NE(both.find("no Wayland compositor answers at WAYLAND_DISPLAY=dwellmark-test-nowhere"), std::string::npos)
        << both;
    EXPECT_NE(both.find("DISPLAY=:4093"), std::string::npos) << both;
    EXPECT_TRUE(oneLine(both));

    environment.set("DISPLAY", std::nullopt);
    const std::string waylandOnly = failureOfCreate();
    EXPECT_NE(waylandOnly.find("WAYLAND_DISPLAY=dwellmark-test-nowhere"), std::string::npos) << waylandOnly;
    EXPECT_NE(waylandOnly.find("DISPLAY is not set"), std::string::npos) << waylandOnly;
}

} // namespace
} // namespace dwellmark::platform::linux
