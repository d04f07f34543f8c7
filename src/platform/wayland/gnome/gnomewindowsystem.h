// The windows of GNOME Shell, as Dwellmark's extension for it reports them over D-Bus.
#pragma once

#include "platform/wayland/focuslist.h"
#include "platform/wayland/waylandwindowsystem.h"

#include <chrono>
#include <memory>

struct sd_bus;
struct sd_bus_slot;

namespace dwellmark::platform::wayland {

/// No Wayland protocol tells a program which window GNOME Shell has focused,
/// and the shell refuses its own introspection to other programs, so an
/// extension of Dwellmark's reports the focus on the session bus. The bus is
/// read without blocking at each tick, as is the Wayland connection, whose
/// end is the shell's end. The bus is reached through sd-bus: small, and
/// made for an event loop of someone else's.
class GnomeWindowSystem final : public WaylandWindowSystem {
public:
    /// The bus name the extension owns.
    static constexpr const char* busName = "org.dwellmark.Focus";
    /// GNOME Shell's own name, to tell that the shell runs without the extension.
    static constexpr const char* shellName = "org.gnome.Shell";

    /// The extension's id in GNOME Shell.
    static constexpr const char* extensionUuid = "dwellmark@dwellmark.org";

    /// Which of the two names have an owner on the session bus, and whether
    /// the shell lists the extension (GNOME Shell reads the installed
    /// extensions at login: one installed since is unknown to it until then).
    struct BusNames {
        bool extension = false;
        bool shell = false;
        /// Asked only of a shell without the extension running.
        bool extensionKnown = false;
    };
    /// Asks the session bus; all false when it cannot be reached.
    static BusNames findBusNames();
    /// Has GNOME Shell enable the extension it knows (as gnome-extensions
    /// enable does) and waits, up to the limit, for it to own its name.
    /// Whether it does; false also when the shell refuses or does not answer.
    static bool enableExtension(std::chrono::milliseconds limit);

    /// Follows the focus as the extension reports it. Throws PlatformError
    /// when the session bus or the extension cannot be reached.
    explicit GnomeWindowSystem(std::unique_ptr<WaylandDisplay> display);
    ~GnomeWindowSystem() override;

    std::uint64_t beginTick() override;
    int changeDescriptor() const override;
    bool hasQueuedChanges() override;

private:
    friend struct GnomeEvents;

    sd_bus* m_bus = nullptr;
    sd_bus_slot* m_focusSlot = nullptr;
    sd_bus_slot* m_closedSlot = nullptr;
    sd_bus_slot* m_ownerSlot = nullptr;
    FocusList m_focus;
};

} // namespace dwellmark::platform::wayland
