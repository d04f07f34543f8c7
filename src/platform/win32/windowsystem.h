#pragma once

#include "tracking/changefeed.h"
#include "tracking/windowsystem.h"
#include "win32api/windowsheaders.h"

#include <functional>

namespace dwellmark::platform::win32 {

/// The desktop as user32 sees it: the foreground window, whether a window still
/// exists, and the probe's title and program name of a window. Reports changes
/// through out-of-context WinEvent hooks on the thread that asks for them.
class Win32WindowSystem final : public WindowSystem, public ChangeFeed {
public:
    Win32WindowSystem() = default;
    ~Win32WindowSystem() override;
    Win32WindowSystem(const Win32WindowSystem&) = delete;
    Win32WindowSystem& operator=(const Win32WindowSystem&) = delete;

    bool setChangeListener(std::function<void()> listener) override;
    WindowHandle foregroundWindow() override;
    bool isWindow(WindowHandle handle) override;
    std::string getWindowTitle(WindowHandle handle) override;
    std::string getProcessName(WindowHandle handle) override;
    bool isProvisionalApplication(std::string_view application) const override;

private:
    static void CALLBACK onEvent(HWINEVENTHOOK hook, DWORD event, HWND window, LONG object, LONG child, DWORD thread,
                                 DWORD time);
    void event(DWORD event, HWND window, LONG object, LONG child);
    bool hook();
    bool eventsArrive();
    void unhook();

    std::function<void()> m_listener;
    HWINEVENTHOOK m_foregroundHook = nullptr;
    HWINEVENTHOOK m_minimizeHook = nullptr;
    HWINEVENTHOOK m_destroyHook = nullptr;
    // The start-up check: the destruction of a hidden window must be reported
    // before the creation of the one made after it.
    HWINEVENTHOOK m_createHook = nullptr;
    HWND m_probe = nullptr;
    HWND m_marker = nullptr;
    bool m_probeSeen = false;
    bool m_markerSeen = false;
};

} // namespace dwellmark::platform::win32
