// The connection to a Wayland compositor, with the globals it offers.
#include "platform/wayland/waylanddisplay.h"

#include <cstdarg>
#include <wayland-client.h>

namespace dwellmark::platform::wayland {

namespace {

void onGlobal(void* data, wl_registry* /*registry*/, std::uint32_t name, const char* interface, std::uint32_t version) {
    static_cast<std::vector<WaylandDisplay::Global>*>(data)->push_back({name, interface, version});
}

void onGlobalRemove(void* data, wl_registry* /*registry*/, std::uint32_t name) {
    auto* globals = static_cast<std::vector<WaylandDisplay::Global>*>(data);
    std::erase_if(*globals, [name](const WaylandDisplay::Global& global) { return global.name == name; });
}

const wl_registry_listener registryListener{&onGlobal, &onGlobalRemove};

// The library's own complaints (no XDG_RUNTIME_DIR, say) would be lines of
// their own on standard error; what went wrong reaches the user as the one
// line of the failure it causes.
void quiet(const char* /*format*/, va_list /*arguments*/) {}

} // namespace

std::unique_ptr<WaylandDisplay> WaylandDisplay::connect(const std::string& displayName) {
    wl_log_set_handler_client(&quiet);
    wl_display* display = wl_display_connect(displayName.c_str());
    if (display == nullptr) {
        return nullptr;
    }
    std::unique_ptr<WaylandDisplay> connection(new WaylandDisplay(display));
    connection->m_registry = wl_display_get_registry(display);
    wl_registry_add_listener(connection->m_registry, &registryListener, &connection->m_globals);
    if (wl_display_roundtrip(display) < 0) {
        return nullptr;
    }
    return connection;
}

WaylandDisplay::WaylandDisplay(wl_display* display) : m_display(display) {}

WaylandDisplay::~WaylandDisplay() {
    if (m_registry != nullptr) {
        wl_registry_destroy(m_registry);
    }
    wl_display_disconnect(m_display);
}

const WaylandDisplay::Global* WaylandDisplay::find(std::string_view interface) const {
    for (const Global& global : m_globals) {
        if (global.interface == interface) {
            return &global;
        }
    }
    return nullptr;
}

} // namespace dwellmark::platform::wayland
