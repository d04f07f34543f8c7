// The windows of KDE Plasma (KWin), as Dwellmark's KWin script reports them over D-Bus.
#pragma once

#include "platform/wayland/kde/kwinfocuslist.h"
#include "platform/wayland/waylandwindowsystem.h"

#include <memory>
#include <string>

struct sd_bus;
struct sd_bus_slot;

namespace dwellmark::platform::wayland {

/// KWin shows its window-management protocol only to an installed program
/// that its desktop entry names by path. Elsewhere (a build folder, a copy of
/// the program) Dwellmark has KWin run a script of its own, which calls
/// Dwellmark's object on the session bus at each activation, caption change
/// and closed window. The script is loaded at start and unloaded at the end.
/// The bus is read without blocking at each tick, as is the Wayland
/// connection, whose end is KWin's end.
class KwinScriptWindowSystem final : public WaylandWindowSystem {
public:
    /// The bus name this backend owns, and the script calls.
    static constexpr const char* busName = "org.dwellmark.KWin";
    /// The name under which KWin knows the script.
    static constexpr const char* pluginName = "dwellmark";
    /// The script's file name, beside the program or in its data folder.
    static constexpr const char* scriptFileName = "dwellmark-kwin.js";

    /// Whether KWin's scripting answers on the session bus.
    static bool kwinOnBus();
    /// The script beside the program (a build folder) or in the data folder
    /// of the installed program; empty when it is in neither.
    static std::string findScript();

    /// Has KWin run the script at scriptPath and waits for its first report.
    /// Throws PlatformError when the session bus, KWin or the script cannot
    /// be reached, or another Dwellmark owns the bus name.
    KwinScriptWindowSystem(std::unique_ptr<WaylandDisplay> display, const std::string& scriptPath);
    /// Unloads the script.
    ~KwinScriptWindowSystem() override;

    std::uint64_t beginTick() override;
    int changeDescriptor() const override;
    bool hasQueuedChanges() override;

private:
    friend struct KwinScriptEvents;

    void close();
    /// Loads Dwellmark's script so that it has a D-Bus object of its own; its
    /// number, or -1.
    int loadOwnScript(const std::string& scriptPath);

    sd_bus* m_bus = nullptr;
    sd_bus_slot* m_object = nullptr;
    KwinFocusList m_focus;
    bool m_loaded = false;
    /// Whether the script has reported.
    bool m_heard = false;
};

} // namespace dwellmark::platform::wayland
