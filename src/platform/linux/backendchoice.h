// Which backend follows the windows of a Linux session.
#pragma once

#include <string>

namespace dwellmark::platform::linux {

/// What the program finds out about the session before it picks a backend.
struct SessionFacts {
    /// $WAYLAND_DISPLAY; empty when unset.
    std::string waylandDisplay;
    /// Whether a compositor answered there.
    bool waylandReachable = false;
    /// Whether it offers the wlroots foreign-toplevel protocol.
    bool wlrootsToplevels = false;
    /// Whether it offers KDE Plasma's window-management protocol.
    bool kdeWindows = false;
    /// Whether Dwellmark's GNOME Shell extension owns its name on the session bus.
    bool gnomeExtension = false;
    /// Whether GNOME Shell owns its name there.
    bool gnomeShell = false;
    /// $DISPLAY; empty when unset.
    std::string x11Display;
    /// $XDG_SESSION_TYPE; empty when unset.
    std::string sessionType;
    /// Whether KWin's scripting answers on the session bus, and Dwellmark's KWin script is at hand.
    bool kwinOnBus = false;
    /// Whether GNOME Shell lists Dwellmark's extension: installed before the
    /// login, so that enabling it turns it on at once.
    bool gnomeExtensionKnown = false;
};

enum class Backend { Wlroots, Kde, KwinScript, Gnome, X11, None };

/// The backend, with one line for the user: a warning about what is missing
/// when the choice falls back to X11, the reason when there is none.
struct BackendChoice {
    Backend backend = Backend::None;
    std::string message;
    /// What the Wayland session lacks, when it has one and it is not used.
    std::string waylandMissing;
    /// Whether the main window offers to enable GNOME Shell's Dwellmark
    /// extension, which the shell knows but does not run.
    bool offerGnomeExtension = false;
};

/// The caption of the main window's offer to enable the extension.
inline constexpr const char* enableGnomeExtensionCaption = "Enable the extension";

/// A Wayland session is followed through the compositor's own protocol when
/// it offers one (wlroots first, then KDE Plasma's), else through Dwellmark's
/// script in KWin, else through GNOME Shell with Dwellmark's extension, else
/// through Xwayland; without Wayland, X11.
BackendChoice chooseBackend(const SessionFacts& facts);

} // namespace dwellmark::platform::linux
