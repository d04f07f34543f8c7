#pragma once

#include "tracking/windowsystem.h"

namespace dwellmark::platform::win32 {

/// The desktop as user32 sees it: the foreground window, whether a window still
/// exists, and the probe's title and program name of a window.
class Win32WindowSystem final : public WindowSystem {
public:
    WindowHandle foregroundWindow() override;
    bool isWindow(WindowHandle handle) override;
    std::string getWindowTitle(WindowHandle handle) override;
    std::string getProcessName(WindowHandle handle) override;
};

} // namespace dwellmark::platform::win32
