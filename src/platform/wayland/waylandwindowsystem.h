// What the Wayland backends share: the connection, the window list, and the answers read from it.
#pragma once

#include "platform/wayland/toplevellist.h"
#include "platform/wayland/waylanddisplay.h"
#include "tracking/changefeed.h"
#include "tracking/windowsystem.h"

#include <memory>
#include <string>
#include <string_view>

namespace dwellmark::platform::wayland {

/// A backend that learns about the windows from the events of a Wayland
/// protocol, kept in a ToplevelList. Each tick reads what has arrived without
/// blocking (beginTick) and answers from that: no round trip to the
/// compositor. A broken connection ends the program through connectionLost().
/// A derived class binds its protocol and feeds the list.
class WaylandWindowSystem : public WindowSystem, public ChangeFeed {
public:
    ~WaylandWindowSystem() override = default;

    WaylandWindowSystem(const WaylandWindowSystem&) = delete;
    WaylandWindowSystem& operator=(const WaylandWindowSystem&) = delete;

    std::uint64_t beginTick() override;
    int changeDescriptor() const override;
    /// Events come over the connection, which loses none.
    std::chrono::milliseconds safetyTickInterval() const override { return connectionSafetyInterval; }
    bool hasQueuedChanges() override;

    WindowHandle foregroundWindow() override;
    bool isWindow(WindowHandle handle) override;
    std::string getWindowTitle(WindowHandle handle) override;
    std::string getProcessName(WindowHandle handle) override;
    /// The window of this process with that title and app id (see findWindow).
    WindowHandle findOwnWindow(WindowHandle nativeId, std::string_view title, std::string_view appId) override;

    /// The app id the compositor gives the window; empty when unknown.
    std::string appId(WindowHandle handle) const;
    /// The process of the window as far as it can be learned; 0 when it cannot.
    virtual long processId(WindowHandle handle);

    /// The number of a window of the process with that title and app id, 0
    /// when there is none (yet): how the program finds its own window, whose
    /// toolkit id means nothing here. Where processes cannot be learned, a
    /// window that alone has that title and app id.
    WindowHandle findWindow(long pid, std::string_view title, std::string_view appId);

protected:
    explicit WaylandWindowSystem(std::unique_ptr<WaylandDisplay> display);

    /// Waits for the compositor to announce its windows and tell about them,
    /// once, at start. Throws PlatformError when the compositor goes away.
    void listWindows();
    /// Whether processId can name the process of a window.
    virtual bool knowsProcesses() const { return true; }

    WaylandDisplay& display() { return *m_display; }
    ToplevelList& toplevels() { return m_toplevels; }

private:
    [[noreturn]] void lost();

    std::unique_ptr<WaylandDisplay> m_display;
    ToplevelList m_toplevels;
};

} // namespace dwellmark::platform::wayland
