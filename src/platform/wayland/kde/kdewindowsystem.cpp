// The windows of KDE Plasma (KWin), through its window-management protocol.
#include "platform/wayland/kde/kdewindowsystem.h"

#include "platform/platformerror.h"

#include <algorithm>
#include <cstdint>
#include <plasma-window-management-client.h>
#include <wayland-client.h>

namespace dwellmark::platform::wayland {

/// The listeners of the manager and of each window: they hand the events to
/// the list. KWin sends each change on its own, so each takes effect at once.
struct KdeEvents {
    using Window = KdeWindowSystem::Window;
    using Proxy = org_kde_plasma_window;
    using Manager = org_kde_plasma_window_management;

    static ToplevelList& listOf(void* data) { return static_cast<Window*>(data)->owner->toplevels(); }
    static WindowHandle numberOf(void* data) { return static_cast<Window*>(data)->number; }

    // Before version 13 KWin announces a window by its number, from 13 on by
    // its uuid too, and only asking by uuid is answered with that window
    // alone: KWin 6 follows the state of a window asked for by number with
    // an unmapping.
    static void window(void* data, Manager* manager, std::uint32_t id) {
        static_cast<KdeWindowSystem*>(data)->follow(org_kde_plasma_window_management_get_window(manager, id));
    }

    static void windowWithUuid(void* data, Manager* manager, std::uint32_t /*id*/, const char* uuid) {
        static_cast<KdeWindowSystem*>(data)->follow(org_kde_plasma_window_management_get_window_by_uuid(manager, uuid));
    }

    static void showDesktop(void* /*data*/, Manager* /*manager*/, std::uint32_t /*state*/) {}
    static void stackingOrder(void* /*data*/, Manager* /*manager*/, wl_array* /*ids*/) {}
    static void stackingOrderUuids(void* /*data*/, Manager* /*manager*/, const char* /*uuids*/) {}

    static void title(void* data, Proxy* /*proxy*/, const char* title) {
        listOf(data).setTitle(numberOf(data), title);
        listOf(data).done(numberOf(data));
    }

    static void appId(void* data, Proxy* /*proxy*/, const char* appId) {
        listOf(data).setAppId(numberOf(data), appId);
        listOf(data).done(numberOf(data));
    }

    static void state(void* data, Proxy* /*proxy*/, std::uint32_t flags) {
        listOf(data).setActivated(numberOf(data), (flags & ORG_KDE_PLASMA_WINDOW_MANAGEMENT_STATE_ACTIVE) != 0);
        listOf(data).done(numberOf(data));
    }

    static void pid(void* data, Proxy* /*proxy*/, std::uint32_t pid) {
        listOf(data).setPid(numberOf(data), static_cast<long>(pid));
    }

    static void unmapped(void* data, Proxy* proxy) {
        auto* entry = static_cast<Window*>(data);
        KdeWindowSystem* self = entry->owner;
        const WindowHandle number = entry->number;
        org_kde_plasma_window_destroy(proxy);
        self->toplevels().remove(number);
        self->m_windows.erase(number);
    }

    static void ignoreWindow(void* /*data*/, Manager* /*manager*/, std::uint32_t /*id*/) {}
    static void ignoreWindowWithUuid(void* /*data*/, Manager* /*manager*/, std::uint32_t /*id*/, const char* /*uuid*/) {
    }
    static void ignore(void* /*data*/, Proxy* /*proxy*/) {}
    static void ignoreText(void* /*data*/, Proxy* /*proxy*/, const char* /*text*/) {}
    static void ignoreTexts(void* /*data*/, Proxy* /*proxy*/, const char* /*first*/, const char* /*second*/) {}
    static void ignoreDesktop(void* /*data*/, Proxy* /*proxy*/, std::int32_t /*number*/) {}
    static void ignoreParent(void* /*data*/, Proxy* /*proxy*/, Proxy* /*parent*/) {}
    static void ignoreGeometry(void* /*data*/, Proxy* /*proxy*/, std::int32_t /*x*/, std::int32_t /*y*/,
                               std::uint32_t /*width*/, std::uint32_t /*height*/) {}

    static constexpr org_kde_plasma_window_listener windowListener{
        .title_changed = &title,
        .app_id_changed = &appId,
        .state_changed = &state,
        .virtual_desktop_changed = &ignoreDesktop,
        .themed_icon_name_changed = &ignoreText,
        .unmapped = &unmapped,
        .initial_state = &ignore,
        .parent_window = &ignoreParent,
        .geometry = &ignoreGeometry,
        .icon_changed = &ignore,
        .pid_changed = &pid,
        .virtual_desktop_entered = &ignoreText,
        .virtual_desktop_left = &ignoreText,
        .application_menu = &ignoreTexts,
        .activity_entered = &ignoreText,
        .activity_left = &ignoreText,
        .resource_name_changed = &ignoreText,
    };

    static constexpr org_kde_plasma_window_management_listener managerListener{
        .show_desktop_changed = &showDesktop,
        .window = &window,
        .stacking_order_changed = &stackingOrder,
        .stacking_order_uuid_changed = &stackingOrderUuids,
        .window_with_uuid = &ignoreWindowWithUuid,
    };

    // KWin sends window_with_uuid instead of window from version 13 on; should
    // it send both, each window is still followed once.
    static constexpr org_kde_plasma_window_management_listener uuidManagerListener{
        .show_desktop_changed = &showDesktop,
        .window = &ignoreWindow,
        .stacking_order_changed = &stackingOrder,
        .stacking_order_uuid_changed = &stackingOrderUuids,
        .window_with_uuid = &windowWithUuid,
    };
};

namespace {

// Version 4 brings unmapping with a destructor; 13 the uuids that KWin 6
// needs. The version of the protocol description built in is the highest
// whose events have listeners here.
constexpr std::uint32_t oldestVersion = 4;
constexpr std::uint32_t uuidVersion = 13;

} // namespace

void KdeWindowSystem::follow(org_kde_plasma_window* proxy) {
    auto entry = std::make_unique<Window>(Window{this, toplevels().add(), proxy});
    org_kde_plasma_window_add_listener(proxy, &KdeEvents::windowListener, entry.get());
    m_windows[entry->number] = std::move(entry);
}

KdeWindowSystem::KdeWindowSystem(std::unique_ptr<WaylandDisplay> connection)
    : WaylandWindowSystem(std::move(connection)) {
    const WaylandDisplay::Global* global = display().find(protocol);
    if (global == nullptr || global->version < oldestVersion) {
        throw PlatformError(std::string("the Wayland compositor does not offer ") + protocol);
    }
    const auto version =
        std::min(global->version, static_cast<std::uint32_t>(org_kde_plasma_window_management_interface.version));
    m_manager = static_cast<org_kde_plasma_window_management*>(
        wl_registry_bind(display().registry(), global->name, &org_kde_plasma_window_management_interface, version));
    org_kde_plasma_window_management_add_listener(
        m_manager, version >= uuidVersion ? &KdeEvents::uuidManagerListener : &KdeEvents::managerListener, this);
    listWindows();
}

KdeWindowSystem::~KdeWindowSystem() {
    for (auto& [number, window] : m_windows) {
        org_kde_plasma_window_destroy(window->proxy);
    }
    // The manager has no destructor request; forgetting it is enough.
    org_kde_plasma_window_management_destroy(m_manager);
    wl_display_flush(display().display());
}

} // namespace dwellmark::platform::wayland
