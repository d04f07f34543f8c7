// What the program asks of the operating system: the window system (with what
// the user must know of it) and the clock. Each system's wiring implements it:
// src/platform/linux/platform.cpp, where the backend is chosen, and
// src/platform/win32/platform.cpp.
#pragma once

#include "platform/platformerror.h"
#include "tracking/changefeed.h"
#include "tracking/timeofdayclock.h"
#include "tracking/windowsystem.h"

#include <functional>
#include <memory>
#include <string>

namespace dwellmark::platform {

/// The window system and its change reports, with what the user must know
/// about how it sees the desktop.
struct Desktop {
    std::unique_ptr<WindowSystem> windows;
    /// The reports the front end's ticks follow; part of windows, and lives as long.
    ChangeFeed* changes = nullptr;
    /// One line for the main window when the desktop is seen only in part (a
    /// Wayland session followed through Xwayland, GNOME Shell without
    /// Dwellmark's extension); empty otherwise. It has gone to standard error
    /// already.
    std::string notice{};
    /// The caption of a button beside the notice that sets right what it
    /// tells of (enabling GNOME Shell's Dwellmark extension); empty when there is none.
    std::string offer{};
    /// What the button does, in two steps: the first may wait for the desktop
    /// for seconds and is called away from the user-interface thread, touching
    /// nothing of it; the step it returns is called on that thread and answers
    /// with the notice that follows, empty when the whole desktop is seen from
    /// then on.
    std::function<std::function<std::string()>()> acceptOffer{};
    /// What the notice says while the first step runs.
    std::string offerWorking{};
};

/// The desktop of the operating system the program was built for. Throws
/// PlatformError when it cannot be reached.
Desktop openDesktop();

/// openDesktop()'s window system alone, which holds its change reports.
inline std::unique_ptr<WindowSystem> createWindowSystem() {
    return openDesktop().windows;
}

/// The display protocol the program's own windows must speak for the window
/// system to see them as it sees every other window.
enum class DisplayProtocol {
    /// The operating system's only one (Windows).
    Native,
    X11,
    Wayland,
};

/// What the program's own windows must speak beside this window system (one
/// that createWindowSystem() made).
DisplayProtocol displayProtocol(const WindowSystem& windows);

/// The local time-of-day clock.
std::unique_ptr<TimeOfDayClock> createClock();

} // namespace dwellmark::platform
