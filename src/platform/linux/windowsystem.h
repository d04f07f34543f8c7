// A window system whose backend can be replaced while the program runs.
#pragma once

#include "platform/linux/descriptorset.h"
#include "platform/wayland/waylandwindowsystem.h"
#include "tracking/forwardingchangefeed.h"
#include "tracking/forwardingwindowsystem.h"

#include <memory>
#include <optional>
#include <string>

namespace dwellmark::platform::linux {

/// Stands between the tracker and the backend, so that a session followed
/// through Xwayland can be followed through the compositor once it can be
/// (GNOME Shell's extension enabled from the main window), without a restart.
/// Its change feed is the backend's, with a descriptor of its own: an epoll
/// set that holds the backend's, so the front end that watches it follows the
/// swap. The program's main window, known to the old backend by its native
/// id, keeps the number the tracker was given for it: the new backend finds it
/// by this process and its title.
class SwitchableWindowSystem final : public ForwardingWindowSystem, public ForwardingChangeFeed {
public:
    /// changes: the backend's feed, which lives as long as the backend.
    SwitchableWindowSystem(std::unique_ptr<WindowSystem> backend, ChangeFeed& changes);
    ~SwitchableWindowSystem() override;

    SwitchableWindowSystem(const SwitchableWindowSystem&) = delete;
    SwitchableWindowSystem& operator=(const SwitchableWindowSystem&) = delete;

    /// Follows the Wayland backend from the next tick on; the old one is closed.
    void switchTo(std::unique_ptr<wayland::WaylandWindowSystem> backend);
    int changeDescriptor() const override;
    WindowHandle findOwnWindow(WindowHandle nativeId, std::string_view title, std::string_view appId) override;
    WindowHandle foregroundWindow() override;
    bool isWindow(WindowHandle handle) override;

private:
    /// Whether the handle is the main window as the new backend numbers it.
    bool isOwnWindow(WindowHandle handle);

    /// The backend after a switch, the same object as backend().
    wayland::WaylandWindowSystem* m_switched = nullptr;
    /// Holds the backend's descriptor; none when the first backend has none.
    std::optional<DescriptorSet> m_watchedSet;
    int m_watched = -1;
    /// The main window as the new backend numbers it, once seen.
    WindowHandle m_switchedOwn = 0;
    /// The main window as the tracker knows it, and its title.
    WindowHandle m_ownWindow = 0;
    std::string m_ownTitle;
};

} // namespace dwellmark::platform::linux
