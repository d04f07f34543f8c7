// What the Wayland backends share: the connection, the window list, and the answers read from it.
#include "platform/wayland/waylandwindowsystem.h"

#include "platform/linux/lostconnection.h"
#include "platform/linux/processname.h"
#include "platform/platformerror.h"

#include <cerrno>
#include <poll.h>
#include <unistd.h>
#include <vector>
#include <wayland-client.h>

namespace dwellmark::platform::wayland {

WaylandWindowSystem::WaylandWindowSystem(std::unique_ptr<WaylandDisplay> display) : m_display(std::move(display)) {}

void WaylandWindowSystem::listWindows() {
    // One trip announces the windows, the next brings what their objects tell.
    wl_display* connection = m_display->display();
    if (wl_display_roundtrip(connection) < 0 || wl_display_roundtrip(connection) < 0) {
        throw PlatformError("lost the connection to the Wayland compositor while listing its windows");
    }
}

void WaylandWindowSystem::lost() {
    linux::connectionLost("the Wayland compositor");
}

std::uint64_t WaylandWindowSystem::beginTick() {
    wl_display* connection = m_display->display();
    // Events already read go first; a read may start only with an empty queue.
    while (wl_display_prepare_read(connection) != 0) {
        if (wl_display_dispatch_pending(connection) < 0) {
            lost();
        }
    }
    if (wl_display_flush(connection) < 0 && errno != EAGAIN) {
        wl_display_cancel_read(connection);
        lost();
    }
    pollfd ready{wl_display_get_fd(connection), POLLIN, 0};
    if (poll(&ready, 1, 0) > 0 && (ready.revents & (POLLIN | POLLHUP | POLLERR)) != 0) {
        // A closed connection reads as an error here.
        if (wl_display_read_events(connection) < 0) {
            lost();
        }
    } else {
        wl_display_cancel_read(connection);
    }
    if (wl_display_dispatch_pending(connection) < 0 || wl_display_get_error(connection) != 0) {
        lost();
    }
    return 0;
}

int WaylandWindowSystem::changeDescriptor() const {
    return wl_display_get_fd(m_display->display());
}

bool WaylandWindowSystem::hasQueuedChanges() {
    wl_display* connection = m_display->display();
    if (wl_display_prepare_read(connection) != 0) {
        return true;
    }
    wl_display_cancel_read(connection);
    return false;
}

WindowHandle WaylandWindowSystem::foregroundWindow() {
    return m_toplevels.foreground();
}

bool WaylandWindowSystem::isWindow(WindowHandle handle) {
    return m_toplevels.exists(handle);
}

std::string WaylandWindowSystem::getWindowTitle(WindowHandle handle) {
    const ToplevelList::Toplevel* toplevel = m_toplevels.find(handle);
    return toplevel != nullptr ? toplevel->title : std::string();
}

std::string WaylandWindowSystem::appId(WindowHandle handle) const {
    const ToplevelList::Toplevel* toplevel = m_toplevels.find(handle);
    return toplevel != nullptr ? toplevel->appId : std::string();
}

long WaylandWindowSystem::processId(WindowHandle handle) {
    const ToplevelList::Toplevel* toplevel = m_toplevels.find(handle);
    return toplevel != nullptr ? toplevel->pid : 0;
}

WindowHandle WaylandWindowSystem::findWindow(long pid, std::string_view title, std::string_view appId) {
    const std::vector<WindowHandle> candidates = m_toplevels.matching(title, appId);
    if (!knowsProcesses()) {
        return candidates.size() == 1 ? candidates.front() : 0;
    }
    for (const WindowHandle candidate : candidates) {
        if (processId(candidate) == pid) {
            return candidate;
        }
    }
    return 0;
}

WindowHandle WaylandWindowSystem::findOwnWindow(WindowHandle nativeId, std::string_view title, std::string_view appId) {
    static_cast<void>(nativeId);
    return findWindow(static_cast<long>(getpid()), title, appId);
}

std::string WaylandWindowSystem::getProcessName(WindowHandle handle) {
    return linux::executableBaseName(processId(handle));
}

} // namespace dwellmark::platform::wayland
