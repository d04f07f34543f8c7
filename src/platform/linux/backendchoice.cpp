// Which backend follows the windows of a Linux session.
#include "platform/linux/backendchoice.h"

namespace dwellmark::platform::linux {

BackendChoice chooseBackend(const SessionFacts& facts) {
    if (!facts.waylandDisplay.empty()) {
        if (facts.waylandReachable && facts.wlrootsToplevels) {
            return {Backend::Wlroots, {}, {}};
        }
        if (facts.waylandReachable && facts.kdeWindows) {
            return {Backend::Kde, {}, {}};
        }
        if (facts.waylandReachable && facts.kwinOnBus) {
            return {Backend::KwinScript, {}, {}};
        }
        if (facts.waylandReachable && facts.gnomeExtension) {
            return {Backend::Gnome, {}, {}};
        }
        std::string missing;
        if (!facts.waylandReachable) {
            missing = "no Wayland compositor answers at WAYLAND_DISPLAY=" + facts.waylandDisplay;
        } else if (facts.gnomeShell && facts.gnomeExtensionKnown) {
            missing = "Dwellmark's GNOME Shell extension is installed but not enabled (gnome-extensions enable "
                      "dwellmark@dwellmark.org)";
        } else if (facts.gnomeShell) {
            // GNOME Shell reads the installed extensions at login only: enabling
            // one installed since fails until the user has logged out and in.
            missing = "GNOME Shell runs without Dwellmark's extension (install it, log out and in, then enable it: "
                      "gnome-extensions enable dwellmark@dwellmark.org)";
        } else {
            missing = "the Wayland compositor at WAYLAND_DISPLAY=" + facts.waylandDisplay +
                      " offers neither zwlr_foreign_toplevel_manager_v1 nor org_kde_plasma_window_management";
        }
        if (facts.x11Display.empty()) {
            return {Backend::None, missing + ", and DISPLAY is not set", missing};
        }
        return {Backend::X11, missing + ": only the windows of X11 programs (Xwayland) are seen", missing,
                facts.gnomeShell && facts.gnomeExtensionKnown};
    }
    if (facts.x11Display.empty()) {
        return {Backend::None, "no display: neither WAYLAND_DISPLAY nor DISPLAY is set", {}};
    }
    if (facts.sessionType == "wayland") {
        return {Backend::X11,
                "this is a Wayland session without WAYLAND_DISPLAY: only the windows of X11 programs "
                "(Xwayland) are seen",
                {}};
    }
    return {Backend::X11, {}, {}};
}

} // namespace dwellmark::platform::linux
