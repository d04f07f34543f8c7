#include "platform/platform.h"

#include "localclock.h"
#include "platform/x11/x11windowsystem.h"

#include <cstdio>
#include <cstdlib>
#include <string_view>

namespace dwellmark::platform {

std::unique_ptr<WindowSystem> createWindowSystem() {
    const char* session = std::getenv("XDG_SESSION_TYPE");
    if (session != nullptr && std::string_view(session) == "wayland") {
        std::fputs("dwellmark: this is a Wayland session: only the windows of X11 programs (Xwayland) are seen\n",
                   stderr);
    }
    const char* display = std::getenv("DISPLAY");
    if (display == nullptr || *display == '\0') {
        throw PlatformError("cannot connect to the X server: DISPLAY is not set");
    }
    return std::make_unique<x11::X11WindowSystem>(display);
}

std::unique_ptr<TimeOfDayClock> createClock() {
    return std::make_unique<linuxos::LocalClock>();
}

} // namespace dwellmark::platform
