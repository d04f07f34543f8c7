// Focuses a window on a wlroots compositor through its foreign-toplevel
// protocol, as a task bar does: what the tests use on compositors that have no
// IPC of their own (labwc, Wayfire). Ends with status 0 once it has asked for
// the window with that app id, 1 when there is none, 2 without the protocol.
// Without an app id it only checks that the protocol is offered.
//
//   wayland_test_activate [APP_ID]
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <map>
#include <string>
#include <wayland-client.h>
#include <wlr-foreign-toplevel-client.h>

namespace {

struct State {
    wl_seat* seat = nullptr;
    zwlr_foreign_toplevel_manager_v1* manager = nullptr;
    std::map<zwlr_foreign_toplevel_handle_v1*, std::string> appIds;
};

void onGlobal(void* data, wl_registry* registry, std::uint32_t name, const char* interface, std::uint32_t version) {
    auto* state = static_cast<State*>(data);
    const std::string which = interface;
    if (which == "wl_seat" && state->seat == nullptr) {
        state->seat = static_cast<wl_seat*>(wl_registry_bind(registry, name, &wl_seat_interface, 1));
    } else if (which == zwlr_foreign_toplevel_manager_v1_interface.name) {
        const auto ours = static_cast<std::uint32_t>(zwlr_foreign_toplevel_manager_v1_interface.version);
        state->manager = static_cast<zwlr_foreign_toplevel_manager_v1*>(
            wl_registry_bind(registry, name, &zwlr_foreign_toplevel_manager_v1_interface, std::min(version, ours)));
    }
}

void onGlobalRemove(void* /*data*/, wl_registry* /*registry*/, std::uint32_t /*name*/) {}

const wl_registry_listener registryListener{&onGlobal, &onGlobalRemove};

using Handle = zwlr_foreign_toplevel_handle_v1;

void onAppId(void* data, Handle* handle, const char* appId) {
    static_cast<State*>(data)->appIds[handle] = appId;
}
void onText(void* /*data*/, Handle* /*handle*/, const char* /*text*/) {}
void onOutput(void* /*data*/, Handle* /*handle*/, wl_output* /*output*/) {}
void onState(void* /*data*/, Handle* /*handle*/, wl_array* /*state*/) {}
void onDone(void* /*data*/, Handle* /*handle*/) {}
void onClosed(void* data, Handle* handle) {
    static_cast<State*>(data)->appIds.erase(handle);
}
void onParent(void* /*data*/, Handle* /*handle*/, Handle* /*parent*/) {}

const zwlr_foreign_toplevel_handle_v1_listener handleListener{
    .title = &onText,
    .app_id = &onAppId,
    .output_enter = &onOutput,
    .output_leave = &onOutput,
    .state = &onState,
    .done = &onDone,
    .closed = &onClosed,
    .parent = &onParent,
};

void onToplevel(void* data, zwlr_foreign_toplevel_manager_v1* /*manager*/, Handle* handle) {
    zwlr_foreign_toplevel_handle_v1_add_listener(handle, &handleListener, data);
}
void onFinished(void* /*data*/, zwlr_foreign_toplevel_manager_v1* /*manager*/) {}

const zwlr_foreign_toplevel_manager_v1_listener managerListener{
    .toplevel = &onToplevel,
    .finished = &onFinished,
};

} // namespace

int main(int argc, char** argv) {
    if (argc > 2) {
        std::fprintf(stderr, "usage: wayland_test_activate [APP_ID]\n");
        return 2;
    }
    wl_display* display = wl_display_connect(nullptr);
    if (display == nullptr) {
        std::fprintf(stderr, "wayland_test_activate: no Wayland display\n");
        return 2;
    }
    State state;
    wl_registry* registry = wl_display_get_registry(display);
    wl_registry_add_listener(registry, &registryListener, &state);
    wl_display_roundtrip(display);
    if (state.manager == nullptr || state.seat == nullptr) {
        std::fprintf(stderr, "wayland_test_activate: no foreign-toplevel protocol or no seat\n");
        return 2;
    }
    if (argc == 1) {
        wl_display_disconnect(display);
        return 0;
    }
    zwlr_foreign_toplevel_manager_v1_add_listener(state.manager, &managerListener, &state);
    // The windows, then their app ids.
    wl_display_roundtrip(display);
    wl_display_roundtrip(display);
    int status = 1;
    for (const auto& [handle, appId] : state.appIds) {
        if (appId == argv[1]) {
            zwlr_foreign_toplevel_handle_v1_activate(handle, state.seat);
            status = 0;
        }
    }
    wl_display_roundtrip(display);
    wl_display_disconnect(display);
    return status;
}
