// The windows of a wlroots compositor (sway and others), through its foreign-toplevel protocol.
#include "wlrootswindowsystem.h"

#include "platform/linux/lostconnection.h"
#include "platform/linux/processname.h"
#include "platform/platform.h"
#include "swayviews.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <poll.h>
#include <wayland-client.h>
#include <wlr-foreign-toplevel-client.h>

namespace dwellmark::platform::wayland {

/// The listeners of the manager and of each window's handle: they hand the events to the list.
struct ProtocolEvents {
    using Handle = WlrootsWindowSystem::Handle;

    static void title(void* data, zwlr_foreign_toplevel_handle_v1* /*proxy*/, const char* title) {
        auto* handle = static_cast<Handle*>(data);
        handle->owner->m_toplevels.setTitle(handle->number, title);
    }

    static void appId(void* data, zwlr_foreign_toplevel_handle_v1* /*proxy*/, const char* appId) {
        auto* handle = static_cast<Handle*>(data);
        handle->owner->m_toplevels.setAppId(handle->number, appId);
    }

    static void output(void* /*data*/, zwlr_foreign_toplevel_handle_v1* /*proxy*/, wl_output* /*output*/) {}

    static void state(void* data, zwlr_foreign_toplevel_handle_v1* /*proxy*/, wl_array* states) {
        auto* handle = static_cast<Handle*>(data);
        bool activated = false;
        const std::size_t count = states->size / sizeof(std::uint32_t);
        for (std::size_t i = 0; i < count; ++i) {
            std::uint32_t value = 0;
            std::memcpy(&value, static_cast<const char*>(states->data) + i * sizeof value, sizeof value);
            activated = activated || value == ZWLR_FOREIGN_TOPLEVEL_HANDLE_V1_STATE_ACTIVATED;
        }
        handle->owner->m_toplevels.setActivated(handle->number, activated);
    }

    static void done(void* data, zwlr_foreign_toplevel_handle_v1* /*proxy*/) {
        auto* handle = static_cast<Handle*>(data);
        handle->owner->m_toplevels.done(handle->number);
    }

    static void parent(void* /*data*/, zwlr_foreign_toplevel_handle_v1* /*proxy*/,
                       zwlr_foreign_toplevel_handle_v1* /*parent*/) {}

    static constexpr zwlr_foreign_toplevel_handle_v1_listener listener{
        &title, &appId, &output, &output, &state, &done, &WlrootsWindowSystem::onClosed, &parent};

    static constexpr zwlr_foreign_toplevel_manager_v1_listener managerListener{&WlrootsWindowSystem::onToplevel,
                                                                               &WlrootsWindowSystem::onFinished};
};

namespace {

// Version 3 is the one described; an older compositor sends a subset of it.
constexpr std::uint32_t wantedVersion = 3;

constexpr std::string_view compositor = "the Wayland compositor";

} // namespace

WlrootsWindowSystem::WlrootsWindowSystem(std::unique_ptr<WaylandDisplay> display,
                                         std::optional<std::string> swaySocket)
    : m_display(std::move(display)) {
    const WaylandDisplay::Global* global = m_display->find(protocol);
    if (global == nullptr) {
        throw PlatformError(std::string("the Wayland compositor does not offer ") + protocol);
    }
    m_manager = static_cast<zwlr_foreign_toplevel_manager_v1*>(
        wl_registry_bind(m_display->registry(), global->name, &zwlr_foreign_toplevel_manager_v1_interface,
                         std::min(global->version, wantedVersion)));
    zwlr_foreign_toplevel_manager_v1_add_listener(m_manager, &ProtocolEvents::managerListener, this);
    if (swaySocket && !swaySocket->empty()) {
        m_sway = std::make_unique<SwayIpc>(std::move(*swaySocket));
    }
    // One trip announces the windows, the next brings what their handles tell.
    if (wl_display_roundtrip(m_display->display()) < 0 || wl_display_roundtrip(m_display->display()) < 0) {
        throw PlatformError("lost the connection to the Wayland compositor while listing its windows");
    }
    m_starting = false;
}

WlrootsWindowSystem::~WlrootsWindowSystem() {
    for (auto& [number, handle] : m_handles) {
        zwlr_foreign_toplevel_handle_v1_destroy(handle->proxy);
    }
    if (m_manager != nullptr) {
        zwlr_foreign_toplevel_manager_v1_destroy(m_manager);
    }
    wl_display_flush(m_display->display());
}

void WlrootsWindowSystem::onToplevel(void* data, zwlr_foreign_toplevel_manager_v1* /*manager*/,
                                     zwlr_foreign_toplevel_handle_v1* proxy) {
    auto* self = static_cast<WlrootsWindowSystem*>(data);
    auto handle = std::make_unique<Handle>(Handle{self, self->m_toplevels.add(), proxy});
    zwlr_foreign_toplevel_handle_v1_add_listener(proxy, &ProtocolEvents::listener, handle.get());
    self->m_handles[handle->number] = std::move(handle);
}

void WlrootsWindowSystem::onFinished(void* data, zwlr_foreign_toplevel_manager_v1* manager) {
    // No new windows will be announced; those known keep telling their changes.
    auto* self = static_cast<WlrootsWindowSystem*>(data);
    zwlr_foreign_toplevel_manager_v1_destroy(manager);
    self->m_manager = nullptr;
}

void WlrootsWindowSystem::onClosed(void* data, zwlr_foreign_toplevel_handle_v1* proxy) {
    auto* handle = static_cast<Handle*>(data);
    WlrootsWindowSystem* self = handle->owner;
    const WindowHandle number = handle->number;
    zwlr_foreign_toplevel_handle_v1_destroy(proxy);
    self->m_toplevels.remove(number);
    self->m_handles.erase(number);
}

void WlrootsWindowSystem::lost() {
    if (m_starting) {
        throw PlatformError("lost the connection to the Wayland compositor while listing its windows");
    }
    linuxos::connectionLost(compositor);
}

void WlrootsWindowSystem::readEvents() {
    wl_display* display = m_display->display();
    // Events already read (by an earlier read, for example) go first; a read
    // may start only with an empty queue.
    while (wl_display_prepare_read(display) != 0) {
        if (wl_display_dispatch_pending(display) < 0) {
            lost();
        }
    }
    if (wl_display_flush(display) < 0 && errno != EAGAIN) {
        wl_display_cancel_read(display);
        lost();
    }
    pollfd ready{wl_display_get_fd(display), POLLIN, 0};
    if (poll(&ready, 1, 0) > 0 && (ready.revents & (POLLIN | POLLHUP | POLLERR)) != 0) {
        // A closed connection reads as an error here.
        if (wl_display_read_events(display) < 0) {
            lost();
        }
    } else {
        wl_display_cancel_read(display);
    }
    if (wl_display_dispatch_pending(display) < 0 || wl_display_get_error(display) != 0) {
        lost();
    }
}

void WlrootsWindowSystem::beginTick() {
    readEvents();
}

int WlrootsWindowSystem::changeDescriptor() const {
    return wl_display_get_fd(m_display->display());
}

bool WlrootsWindowSystem::hasQueuedChanges() {
    wl_display* display = m_display->display();
    if (wl_display_prepare_read(display) != 0) {
        return true;
    }
    wl_display_cancel_read(display);
    return false;
}

WindowHandle WlrootsWindowSystem::foregroundWindow() {
    return m_toplevels.foreground();
}

bool WlrootsWindowSystem::isWindow(WindowHandle handle) {
    return m_toplevels.exists(handle);
}

std::string WlrootsWindowSystem::getWindowTitle(WindowHandle handle) {
    const ToplevelList::Toplevel* toplevel = m_toplevels.find(handle);
    return toplevel != nullptr ? toplevel->title : std::string();
}

std::string WlrootsWindowSystem::appId(WindowHandle handle) const {
    const ToplevelList::Toplevel* toplevel = m_toplevels.find(handle);
    return toplevel != nullptr ? toplevel->appId : std::string();
}

long WlrootsWindowSystem::processId(WindowHandle handle) {
    const ToplevelList::Toplevel* toplevel = m_toplevels.find(handle);
    if (toplevel == nullptr) {
        return 0;
    }
    if (toplevel->pid == 0 && m_sway) {
        if (const auto tree = m_sway->layoutTree()) {
            const long pid = findViewPid(
                *tree, ViewQuery{toplevel->appId, toplevel->title, m_toplevels.foreground() == handle});
            m_toplevels.setPid(handle, pid);
        }
    }
    return toplevel->pid;
}

WindowHandle WlrootsWindowSystem::findWindow(long pid, std::string_view title, std::string_view appId) {
    const std::vector<WindowHandle> candidates = m_toplevels.matching(title, appId);
    if (!m_sway) {
        return candidates.size() == 1 ? candidates.front() : 0;
    }
    for (const WindowHandle candidate : candidates) {
        if (processId(candidate) == pid) {
            return candidate;
        }
    }
    return 0;
}

std::string WlrootsWindowSystem::getProcessName(WindowHandle handle) {
    return linuxos::executableBaseName(processId(handle));
}

} // namespace dwellmark::platform::wayland
