#include "platform/platform.h"

#include "platform/win32/win32clock.h"
#include "platform/win32/win32windowsystem.h"

namespace dwellmark::platform {

// Windows always has a desktop for a program the user started, so there is
// nothing here that could fail to connect.
std::unique_ptr<WindowSystem> createWindowSystem() {
    return std::make_unique<win32::Win32WindowSystem>();
}

// Windows has one desktop, seen whole: there is nothing to tell the user.
Desktop openDesktop() {
    return {createWindowSystem(), {}};
}

DisplayProtocol displayProtocol(const WindowSystem& windows) {
    static_cast<void>(windows);
    return DisplayProtocol::Native;
}

std::unique_ptr<TimeOfDayClock> createClock() {
    return std::make_unique<win32::Win32Clock>();
}

} // namespace dwellmark::platform
