// A window of its own process for the Wayland tests: an xdg-shell toplevel
// with the title and app id of its arguments. SIGUSR1 changes the title to
// the third argument. Prints "mapped" once the compositor shows it, and ends
// when the compositor closes it or goes away.
//
//   wayland_test_toplevel TITLE APP_ID [NEXT_TITLE]
#include <xdg-shell-client.h>

#include <csignal>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <poll.h>
#include <string>
#include <sys/mman.h>
#include <sys/signalfd.h>
#include <unistd.h>
#include <wayland-client.h>

namespace {

struct Globals {
    wl_compositor* compositor = nullptr;
    wl_shm* shm = nullptr;
    xdg_wm_base* wmBase = nullptr;
};

struct State {
    Globals globals;
    wl_surface* surface = nullptr;
    wl_buffer* buffer = nullptr;
    bool mapped = false;
    bool closed = false;
};

constexpr int width = 120;
constexpr int height = 80;

void onGlobal(void* data, wl_registry* registry, std::uint32_t name, const char* interface, std::uint32_t /*version*/) {
    auto* globals = static_cast<Globals*>(data);
    const std::string which = interface;
    if (which == "wl_compositor") {
        globals->compositor = static_cast<wl_compositor*>(wl_registry_bind(registry, name, &wl_compositor_interface, 1));
    } else if (which == "wl_shm") {
        globals->shm = static_cast<wl_shm*>(wl_registry_bind(registry, name, &wl_shm_interface, 1));
    } else if (which == "xdg_wm_base") {
        globals->wmBase = static_cast<xdg_wm_base*>(wl_registry_bind(registry, name, &xdg_wm_base_interface, 1));
    }
}

void onGlobalRemove(void* /*data*/, wl_registry* /*registry*/, std::uint32_t /*name*/) {}

const wl_registry_listener registryListener{&onGlobal, &onGlobalRemove};

void onPing(void* /*data*/, xdg_wm_base* wmBase, std::uint32_t serial) {
    xdg_wm_base_pong(wmBase, serial);
}

const xdg_wm_base_listener wmBaseListener{&onPing};

wl_buffer* makeBuffer(wl_shm* shm) {
    const int stride = width * 4;
    const int size = stride * height;
    const int fd = memfd_create("wayland-test-toplevel", MFD_CLOEXEC);
    if (fd < 0 || ftruncate(fd, size) != 0) {
        return nullptr;
    }
    void* pixels = mmap(nullptr, static_cast<std::size_t>(size), PROT_READ | PROT_WRITE, MAP_SHARED, fd, 0);
    if (pixels == MAP_FAILED) {
        close(fd);
        return nullptr;
    }
    std::memset(pixels, 0x80, static_cast<std::size_t>(size));
    munmap(pixels, static_cast<std::size_t>(size));
    wl_shm_pool* pool = wl_shm_create_pool(shm, fd, size);
    wl_buffer* buffer = wl_shm_pool_create_buffer(pool, 0, width, height, stride, WL_SHM_FORMAT_XRGB8888);
    wl_shm_pool_destroy(pool);
    close(fd);
    return buffer;
}

void onSurfaceConfigure(void* data, xdg_surface* surface, std::uint32_t serial) {
    auto* state = static_cast<State*>(data);
    xdg_surface_ack_configure(surface, serial);
    if (!state->mapped) {
        // The first buffer after the first configure maps the window.
        wl_surface_attach(state->surface, state->buffer, 0, 0);
        wl_surface_damage(state->surface, 0, 0, width, height);
        state->mapped = true;
    }
    wl_surface_commit(state->surface);
}

const xdg_surface_listener surfaceListener{&onSurfaceConfigure};

void onToplevelConfigure(void* /*data*/, xdg_toplevel* /*toplevel*/, std::int32_t /*width*/, std::int32_t /*height*/,
                         wl_array* /*states*/) {}

void onToplevelClose(void* data, xdg_toplevel* /*toplevel*/) {
    static_cast<State*>(data)->closed = true;
}

const xdg_toplevel_listener toplevelListener{.configure = &onToplevelConfigure,
                                             .close = &onToplevelClose,
                                             .configure_bounds = nullptr,
                                             .wm_capabilities = nullptr};

} // namespace

int main(int argc, char* argv[]) {
    if (argc < 3) {
        std::fputs("usage: wayland_test_toplevel TITLE APP_ID [NEXT_TITLE]\n", stderr);
        return 2;
    }
    sigset_t signals;
    sigemptyset(&signals);
    sigaddset(&signals, SIGUSR1);
    sigprocmask(SIG_BLOCK, &signals, nullptr);
    const int signalFd = signalfd(-1, &signals, SFD_CLOEXEC);

    wl_display* display = wl_display_connect(nullptr);
    if (display == nullptr) {
        std::fputs("wayland_test_toplevel: no compositor\n", stderr);
        return 1;
    }
    State state;
    wl_registry* registry = wl_display_get_registry(display);
    wl_registry_add_listener(registry, &registryListener, &state.globals);
    wl_display_roundtrip(display);
    if (state.globals.compositor == nullptr || state.globals.shm == nullptr || state.globals.wmBase == nullptr) {
        std::fputs("wayland_test_toplevel: the compositor lacks xdg-shell or shm\n", stderr);
        return 1;
    }
    xdg_wm_base_add_listener(state.globals.wmBase, &wmBaseListener, nullptr);
    state.buffer = makeBuffer(state.globals.shm);
    state.surface = wl_compositor_create_surface(state.globals.compositor);
    xdg_surface* surface = xdg_wm_base_get_xdg_surface(state.globals.wmBase, state.surface);
    xdg_surface_add_listener(surface, &surfaceListener, &state);
    xdg_toplevel* toplevel = xdg_surface_get_toplevel(surface);
    xdg_toplevel_add_listener(toplevel, &toplevelListener, &state);
    xdg_toplevel_set_title(toplevel, argv[1]);
    xdg_toplevel_set_app_id(toplevel, argv[2]);
    wl_surface_commit(state.surface);

    bool announced = false;
    while (!state.closed) {
        if (state.mapped && !announced) {
            // The buffer is committed; a round trip makes sure the compositor has it.
            wl_display_roundtrip(display);
            std::puts("mapped");
            std::fflush(stdout);
            announced = true;
        }
        while (wl_display_prepare_read(display) != 0) {
            wl_display_dispatch_pending(display);
        }
        wl_display_flush(display);
        pollfd waits[2] = {{wl_display_get_fd(display), POLLIN, 0}, {signalFd, POLLIN, 0}};
        if (poll(waits, 2, -1) < 0) {
            wl_display_cancel_read(display);
            continue;
        }
        if ((waits[0].revents & (POLLIN | POLLHUP | POLLERR)) != 0) {
            if (wl_display_read_events(display) < 0) {
                return 1;
            }
        } else {
            wl_display_cancel_read(display);
        }
        if (wl_display_dispatch_pending(display) < 0) {
            return 1;
        }
        if ((waits[1].revents & POLLIN) != 0) {
            signalfd_siginfo info{};
            if (read(signalFd, &info, sizeof info) == sizeof info && argc > 3) {
                xdg_toplevel_set_title(toplevel, argv[3]);
                wl_surface_commit(state.surface);
                wl_display_roundtrip(display);
                std::puts("retitled");
                std::fflush(stdout);
            }
        }
    }
    return 0;
}
