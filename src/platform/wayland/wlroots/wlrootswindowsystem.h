// The windows of a wlroots compositor (sway and others), through its foreign-toplevel protocol.
#pragma once

#include "platform/wayland/waylandwindowsystem.h"
#include "platform/wayland/wlroots/swayipc.h"

#include <memory>
#include <optional>
#include <string>
#include <unordered_map>

struct zwlr_foreign_toplevel_manager_v1;
struct zwlr_foreign_toplevel_handle_v1;

namespace dwellmark::platform::wayland {

/// The compositor announces every toplevel window with its title, app id and
/// focus. The protocol names no process: under sway it is asked of sway's
/// IPC, once per window; elsewhere (labwc, river, Wayfire, ...) it stays
/// unknown, and the application is the window's app id, as the compositor
/// itself names the window's program.
class WlrootsWindowSystem final : public WaylandWindowSystem {
public:
    /// The interface this backend needs the compositor to offer.
    static constexpr const char* protocol = "zwlr_foreign_toplevel_manager_v1";

    /// Follows the windows of the compositor, which must offer the protocol.
    /// swaySocket is sway's IPC socket ($SWAYSOCK), or nothing when the
    /// compositor is not sway. Throws PlatformError when the compositor goes
    /// away while the windows are first listed.
    WlrootsWindowSystem(std::unique_ptr<WaylandDisplay> display, std::optional<std::string> swaySocket);
    ~WlrootsWindowSystem() override;

    long processId(WindowHandle handle) override;
    /// The executable's name, or the app id when no process is known.
    std::string getProcessName(WindowHandle handle) override;

protected:
    bool knowsProcesses() const override { return m_sway != nullptr; }

private:
    /// What the handle's listener needs: its backend and its window's number.
    struct Handle {
        WlrootsWindowSystem* owner = nullptr;
        WindowHandle number = 0;
        zwlr_foreign_toplevel_handle_v1* proxy = nullptr;
    };

    friend struct WlrootsEvents;

    zwlr_foreign_toplevel_manager_v1* m_manager = nullptr;
    std::unordered_map<WindowHandle, std::unique_ptr<Handle>> m_handles;
    std::unique_ptr<SwayIpc> m_sway;
};

} // namespace dwellmark::platform::wayland
