// The windows of a wlroots compositor (sway and others), through its foreign-toplevel protocol.
#pragma once

#include "swayipc.h"
#include "toplevellist.h"
#include "tracking/windowsystem.h"
#include "waylanddisplay.h"

#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>

struct zwlr_foreign_toplevel_manager_v1;
struct zwlr_foreign_toplevel_handle_v1;

namespace dwellmark::platform::wayland {

/// The compositor announces every toplevel window with its title, app id and
/// focus; they are kept in a ToplevelList as the events arrive. Each tick
/// reads what has arrived without blocking (beginTick) and answers from that:
/// no round trip to the compositor. The protocol names no process: under sway
/// it is asked of sway's IPC, once per window; elsewhere it stays unknown and
/// the application empty. A broken connection ends the program through
/// connectionLost().
class WlrootsWindowSystem final : public WindowSystem {
public:
    /// The interface this backend needs the compositor to offer.
    static constexpr const char* protocol = "zwlr_foreign_toplevel_manager_v1";

    /// Follows the windows of the compositor, which must offer the protocol.
    /// swaySocket is sway's IPC socket ($SWAYSOCK), or nothing when the
    /// compositor is not sway. Throws PlatformError when the compositor goes
    /// away while the windows are first listed.
    WlrootsWindowSystem(std::unique_ptr<WaylandDisplay> display, std::optional<std::string> swaySocket);
    ~WlrootsWindowSystem() override;

    WlrootsWindowSystem(const WlrootsWindowSystem&) = delete;
    WlrootsWindowSystem& operator=(const WlrootsWindowSystem&) = delete;

    void beginTick() override;
    int changeDescriptor() const override;
    bool hasQueuedChanges() override;

    WindowHandle foregroundWindow() override;
    bool isWindow(WindowHandle handle) override;
    std::string getWindowTitle(WindowHandle handle) override;
    std::string getProcessName(WindowHandle handle) override;

    /// The app id the compositor gives the window; empty when unknown.
    std::string appId(WindowHandle handle) const;
    /// The process of the window as far as it can be learned; 0 when it cannot.
    long processId(WindowHandle handle);

    /// The number of a window of the process with that title and app id, 0
    /// when there is none (yet): how the program finds its own window, whose
    /// toolkit id means nothing here. Where processes cannot be learned, a
    /// window that alone has that title and app id.
    WindowHandle findWindow(long pid, std::string_view title, std::string_view appId);

private:
    /// What the handle's listener needs: its backend and its window's number.
    struct Handle {
        WlrootsWindowSystem* owner = nullptr;
        WindowHandle number = 0;
        zwlr_foreign_toplevel_handle_v1* proxy = nullptr;
    };

    static void onToplevel(void* data, zwlr_foreign_toplevel_manager_v1* manager,
                           zwlr_foreign_toplevel_handle_v1* proxy);
    static void onFinished(void* data, zwlr_foreign_toplevel_manager_v1* manager);
    static void onClosed(void* data, zwlr_foreign_toplevel_handle_v1* proxy);

    friend struct ProtocolEvents;

    void readEvents();
    [[noreturn]] void lost();

    std::unique_ptr<WaylandDisplay> m_display;
    zwlr_foreign_toplevel_manager_v1* m_manager = nullptr;
    std::unordered_map<WindowHandle, std::unique_ptr<Handle>> m_handles;
    ToplevelList m_toplevels;
    std::unique_ptr<SwayIpc> m_sway;
    /// Whether the windows are being listed in the constructor, where a lost
    /// compositor is an exception rather than the end of the program.
    bool m_starting = true;
};

} // namespace dwellmark::platform::wayland
