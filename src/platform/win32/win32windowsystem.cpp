#include "platform/win32/win32windowsystem.h"

#include "platform/win32/moddeclaration.h"

namespace dwellmark::platform::win32 {

WindowHandle Win32WindowSystem::foregroundWindow() {
    return toWindowHandle(GetForegroundWindow());
}

bool Win32WindowSystem::isWindow(WindowHandle handle) {
    return IsWindow(toHwnd(handle)) != FALSE;
}

std::string Win32WindowSystem::getWindowTitle(WindowHandle handle) {
    return win32::getWindowTitle(handle);
}

std::string Win32WindowSystem::getProcessName(WindowHandle handle) {
    return win32::getProcessName(handle);
}

} // namespace dwellmark::platform::win32
