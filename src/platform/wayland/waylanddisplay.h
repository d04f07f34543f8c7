// The connection to a Wayland compositor, with the globals it offers.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

struct wl_display;
struct wl_registry;

namespace dwellmark::platform::wayland {

/// Connects to the compositor and lists its globals once, so that the
/// program can choose a backend from what is offered.
class WaylandDisplay final {
public:
    struct Global {
        std::uint32_t name = 0;
        std::string interface;
        std::uint32_t version = 0;
    };

    /// The compositor of the display name (as in $WAYLAND_DISPLAY), or nullptr
    /// when none answers there.
    static std::unique_ptr<WaylandDisplay> connect(const std::string& displayName);
    ~WaylandDisplay();

    WaylandDisplay(const WaylandDisplay&) = delete;
    WaylandDisplay& operator=(const WaylandDisplay&) = delete;

    /// The global of that interface, nullptr when the compositor offers none.
    const Global* find(std::string_view interface) const;

    wl_display* display() const { return m_display; }
    wl_registry* registry() const { return m_registry; }

private:
    explicit WaylandDisplay(wl_display* display);

    wl_display* m_display = nullptr;
    wl_registry* m_registry = nullptr;
    std::vector<Global> m_globals;
};

} // namespace dwellmark::platform::wayland
