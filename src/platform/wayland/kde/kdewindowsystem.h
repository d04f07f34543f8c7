// The windows of KDE Plasma (KWin), through its window-management protocol.
#pragma once

#include "platform/wayland/waylandwindowsystem.h"

#include <memory>
#include <unordered_map>

struct org_kde_plasma_window_management;
struct org_kde_plasma_window;

namespace dwellmark::platform::wayland {

/// KWin announces every window with its title, app id, process and state
/// (active among them), and tells when it is unmapped. The version bound is
/// the lower of KWin's and the one built in. KWin offers the
/// protocol only to a program whose installed desktop file names its absolute
/// path in Exec= and asks for the interface in X-KDE-Wayland-Interfaces.
class KdeWindowSystem final : public WaylandWindowSystem {
public:
    /// The interface this backend needs the compositor to offer.
    static constexpr const char* protocol = "org_kde_plasma_window_management";

    /// Follows the windows of the compositor, which must offer the protocol.
    /// Throws PlatformError when the compositor goes away while the windows
    /// are first listed.
    explicit KdeWindowSystem(std::unique_ptr<WaylandDisplay> display);
    ~KdeWindowSystem() override;

private:
    /// What a window's listener needs: its backend and its window's number.
    struct Window {
        KdeWindowSystem* owner = nullptr;
        WindowHandle number = 0;
        org_kde_plasma_window* proxy = nullptr;
    };

    friend struct KdeEvents;

    /// Lists the window KWin binds to the proxy and follows its events.
    void follow(org_kde_plasma_window* proxy);

    org_kde_plasma_window_management* m_manager = nullptr;
    std::unordered_map<WindowHandle, std::unique_ptr<Window>> m_windows;
};

} // namespace dwellmark::platform::wayland
