// The windows of a wlroots compositor (sway and others), through its foreign-toplevel protocol.
#include "platform/wayland/wlroots/wlrootswindowsystem.h"

#include "platform/platformerror.h"
#include "platform/wayland/wlroots/swayviews.h"

#include <algorithm>
#include <cstring>
#include <wayland-client.h>
#include <wlr-foreign-toplevel-client.h>

namespace dwellmark::platform::wayland {

/// The listeners of the manager and of each window's handle: they hand the events to the list.
struct WlrootsEvents {
    using Handle = WlrootsWindowSystem::Handle;

    static ToplevelList& listOf(void* data) { return static_cast<Handle*>(data)->owner->toplevels(); }
    static WindowHandle numberOf(void* data) { return static_cast<Handle*>(data)->number; }

    static void toplevel(void* data, zwlr_foreign_toplevel_manager_v1* /*manager*/,
                         zwlr_foreign_toplevel_handle_v1* proxy) {
        auto* self = static_cast<WlrootsWindowSystem*>(data);
        auto handle = std::make_unique<Handle>(Handle{self, self->toplevels().add(), proxy});
        zwlr_foreign_toplevel_handle_v1_add_listener(proxy, &handleListener, handle.get());
        self->m_handles[handle->number] = std::move(handle);
    }

    static void finished(void* data, zwlr_foreign_toplevel_manager_v1* manager) {
        // No new windows will be announced; those known keep telling their changes.
        zwlr_foreign_toplevel_manager_v1_destroy(manager);
        static_cast<WlrootsWindowSystem*>(data)->m_manager = nullptr;
    }

    static void title(void* data, zwlr_foreign_toplevel_handle_v1* /*proxy*/, const char* title) {
        listOf(data).setTitle(numberOf(data), title);
    }

    static void appId(void* data, zwlr_foreign_toplevel_handle_v1* /*proxy*/, const char* appId) {
        listOf(data).setAppId(numberOf(data), appId);
    }

    static void output(void* /*data*/, zwlr_foreign_toplevel_handle_v1* /*proxy*/, wl_output* /*output*/) {}

    static void state(void* data, zwlr_foreign_toplevel_handle_v1* /*proxy*/, wl_array* states) {
        bool activated = false;
        const std::size_t count = states->size / sizeof(std::uint32_t);
        for (std::size_t i = 0; i < count; ++i) {
            std::uint32_t value = 0;
            std::memcpy(&value, static_cast<const char*>(states->data) + i * sizeof value, sizeof value);
            activated = activated || value == ZWLR_FOREIGN_TOPLEVEL_HANDLE_V1_STATE_ACTIVATED;
        }
        listOf(data).setActivated(numberOf(data), activated);
    }

    static void done(void* data, zwlr_foreign_toplevel_handle_v1* /*proxy*/) { listOf(data).done(numberOf(data)); }

    static void closed(void* data, zwlr_foreign_toplevel_handle_v1* proxy) {
        auto* handle = static_cast<Handle*>(data);
        WlrootsWindowSystem* self = handle->owner;
        const WindowHandle number = handle->number;
        zwlr_foreign_toplevel_handle_v1_destroy(proxy);
        self->toplevels().remove(number);
        self->m_handles.erase(number);
    }

    static void parent(void* /*data*/, zwlr_foreign_toplevel_handle_v1* /*proxy*/,
                       zwlr_foreign_toplevel_handle_v1* /*parent*/) {}

    static constexpr zwlr_foreign_toplevel_handle_v1_listener handleListener{&title, &appId, &output, &output,
                                                                             &state, &done,  &closed, &parent};

    static constexpr zwlr_foreign_toplevel_manager_v1_listener managerListener{&toplevel, &finished};
};

namespace {

// Version 3 is the one described; an older compositor sends a subset of it.
constexpr std::uint32_t wantedVersion = 3;

} // namespace

WlrootsWindowSystem::WlrootsWindowSystem(std::unique_ptr<WaylandDisplay> connection,
                                         std::optional<std::string> swaySocket)
    : WaylandWindowSystem(std::move(connection)) {
    const WaylandDisplay::Global* global = display().find(protocol);
    if (global == nullptr) {
        throw PlatformError(std::string("the Wayland compositor does not offer ") + protocol);
    }
    m_manager = static_cast<zwlr_foreign_toplevel_manager_v1*>(
        wl_registry_bind(display().registry(), global->name, &zwlr_foreign_toplevel_manager_v1_interface,
                         std::min(global->version, wantedVersion)));
    zwlr_foreign_toplevel_manager_v1_add_listener(m_manager, &WlrootsEvents::managerListener, this);
    if (swaySocket && !swaySocket->empty()) {
        m_sway = std::make_unique<SwayIpc>(std::move(*swaySocket));
    }
    listWindows();
}

WlrootsWindowSystem::~WlrootsWindowSystem() {
    for (auto& [number, handle] : m_handles) {
        zwlr_foreign_toplevel_handle_v1_destroy(handle->proxy);
    }
    if (m_manager != nullptr) {
        zwlr_foreign_toplevel_manager_v1_destroy(m_manager);
    }
    wl_display_flush(display().display());
}

long WlrootsWindowSystem::processId(WindowHandle handle) {
    const ToplevelList::Toplevel* toplevel = toplevels().find(handle);
    if (toplevel == nullptr) {
        return 0;
    }
    if (toplevel->pid == 0 && m_sway) {
        if (const auto tree = m_sway->layoutTree()) {
            const long pid =
                findViewPid(*tree, ViewQuery{toplevel->appId, toplevel->title, toplevels().foreground() == handle});
            toplevels().setPid(handle, pid);
        }
    }
    return toplevel->pid;
}

std::string WlrootsWindowSystem::getProcessName(WindowHandle handle) {
    std::string name = WaylandWindowSystem::getProcessName(handle);
    return name.empty() ? appId(handle) : name;
}

} // namespace dwellmark::platform::wayland
