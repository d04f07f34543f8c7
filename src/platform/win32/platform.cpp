// The Windows platform: the backend with the session's lock in front of it, and the local clock.
#include "platform/platform.h"

#include "platform/win32/localclock.h"
#include "platform/win32/loginsessionlock.h"
#include "platform/win32/windowsystem.h"
#include "tracking/lockawarewindowsystem.h"

namespace dwellmark::platform {

// Windows always has a desktop for a program the user started, so there is
// nothing here that could fail to connect, and it is seen whole: there is
// nothing to tell the user. While the session is locked no window holds the
// foreground.
Desktop openDesktop() {
    auto backend = std::make_unique<win32::Win32WindowSystem>();
    auto lock = std::make_unique<win32::LoginSessionLock>(*backend);
    ChangeFeed* changes = &lock->changes();
    return {std::make_unique<LockAwareWindowSystem>(std::move(backend), std::move(lock)), changes};
}

DisplayProtocol displayProtocol(const WindowSystem& windows) {
    static_cast<void>(windows);
    return DisplayProtocol::Native;
}

std::unique_ptr<TimeOfDayClock> createClock() {
    return std::make_unique<win32::LocalClock>();
}

} // namespace dwellmark::platform
