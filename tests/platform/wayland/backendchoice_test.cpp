// Which backend each kind of Linux session gets, and what the user is told.
#include "platform/linux/backendchoice.h"

#include <gtest/gtest.h>

namespace dwellmark::platform::linuxos {
namespace {

bool oneLine(const std::string& text) {
    return text.find('\n') == std::string::npos;
}

TEST(ChooseBackend, AWaylandSessionUsesTheCompositorsProtocolWhenOffered) {
    SessionFacts facts{"wayland-1", true, true, ":0", "wayland"};
    const BackendChoice choice = chooseBackend(facts);
    EXPECT_EQ(choice.backend, Backend::Wlroots);
    EXPECT_EQ(choice.message, "");

    // Without Xwayland as well.
    facts.x11Display.clear();
    EXPECT_EQ(chooseBackend(facts).backend, Backend::Wlroots);
}

TEST(ChooseBackend, AWaylandSessionWithoutTheProtocolFallsBackToXwaylandWithOneWarning) {
    const BackendChoice choice = chooseBackend({"wayland-0", true, false, ":1", "wayland"});
    EXPECT_EQ(choice.backend, Backend::X11);
    EXPECT_NE(choice.message.find("zwlr_foreign_toplevel_manager_v1"), std::string::npos) << choice.message;
    EXPECT_NE(choice.message.find("WAYLAND_DISPLAY=wayland-0"), std::string::npos) << choice.message;
    EXPECT_NE(choice.message.find("X11"), std::string::npos) << choice.message;
    EXPECT_TRUE(oneLine(choice.message));

    // A compositor that does not answer is named as such.
    const BackendChoice gone = chooseBackend({"wayland-9", false, false, ":1", "wayland"});
    EXPECT_EQ(gone.backend, Backend::X11);
    EXPECT_NE(gone.message.find("no Wayland compositor answers at WAYLAND_DISPLAY=wayland-9"), std::string::npos)
        << gone.message;
}

TEST(ChooseBackend, WithoutWaylandX11AsBefore) {
    EXPECT_EQ(chooseBackend({"", false, false, ":0", "x11"}).backend, Backend::X11);
    EXPECT_EQ(chooseBackend({"", false, false, ":0", "x11"}).message, "");
    EXPECT_EQ(chooseBackend({"", false, false, ":0", ""}).message, "");
    // WAYLAND_DISPLAY unset on purpose in a Wayland session: X11, and a word that only X11 windows are seen.
    const BackendChoice unset = chooseBackend({"", false, false, ":0", "wayland"});
    EXPECT_EQ(unset.backend, Backend::X11);
    EXPECT_NE(unset.message.find("X11"), std::string::npos);
    EXPECT_TRUE(oneLine(unset.message));
}

TEST(ChooseBackend, NoDisplayAtAllNamesWhatWasTried) {
    const BackendChoice none = chooseBackend({"", false, false, "", "tty"});
    EXPECT_EQ(none.backend, Backend::None);
    EXPECT_NE(none.message.find("WAYLAND_DISPLAY"), std::string::npos) << none.message;
    EXPECT_NE(none.message.find("DISPLAY"), std::string::npos) << none.message;

    const BackendChoice waylandOnly = chooseBackend({"wayland-1", true, false, "", "wayland"});
    EXPECT_EQ(waylandOnly.backend, Backend::None);
    EXPECT_NE(waylandOnly.message.find("zwlr_foreign_toplevel_manager_v1"), std::string::npos);
    EXPECT_NE(waylandOnly.message.find("DISPLAY is not set"), std::string::npos) << waylandOnly.message;
    EXPECT_TRUE(oneLine(waylandOnly.message));
}

} // namespace
} // namespace dwellmark::platform::linuxos
