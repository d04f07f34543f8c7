// Where the main window's ticks come from.
#pragma once

#include "win32api/windowsheaders.h"

#include <string_view>

namespace dwellmark::ui::win32 {

/// Posts a tick message to a window, to be run on the window's own thread by
/// whatever message loop is running there (the program's, a modal window's or
/// a message box's). At most one tick waits in the queue at a time, so a busy
/// thread gets one tick when it is free again, not a backlog.
class TickPoster {
public:
    virtual ~TickPoster() = default;

    /// Starts posting message to window.
    virtual void start(HWND window, UINT message) = 0;
    /// Stops posting; no tick is posted after it returns.
    virtual void stop() = 0;
    /// The window has run the tick it was posted; the next may be posted.
    virtual void ticked() = 0;
    /// A WM_TIMER of the window that the source may have set for itself.
    virtual void timerFired(UINT_PTR id) { static_cast<void>(id); }
    /// What the window's notice line says about the ticks; empty for nothing.
    virtual std::string_view notice() const { return {}; }
};

} // namespace dwellmark::ui::win32
