// Whether the Windows session is locked, from the session messages of a hidden window of its own.
#include "platform/win32/loginsessionlock.h"

#include <wtsapi32.h>

namespace dwellmark::platform::win32 {

LoginSessionLock::LoginSessionLock(ChangeFeed& alongside) : ForwardingChangeFeed(alongside) {
    WNDCLASSW windowClassInfo{};
    windowClassInfo.lpfnWndProc = onMessage;
    windowClassInfo.hInstance = GetModuleHandleW(nullptr);
    windowClassInfo.lpszClassName = windowClass;
    RegisterClassW(&windowClassInfo); // fails harmlessly once registered
    // A top-level window that is never shown: the session's notifications
    // are sent to top-level windows, and a hidden one never takes the foreground.
    m_window = CreateWindowExW(0, windowClass, L"", WS_OVERLAPPED, 0, 0, 0, 0, nullptr, nullptr,
                               GetModuleHandleW(nullptr), this);
    if (m_window != nullptr) {
        m_registered = WTSRegisterSessionNotification(m_window, NOTIFY_FOR_THIS_SESSION) != FALSE;
    }
}

LoginSessionLock::~LoginSessionLock() {
    if (m_window != nullptr) {
        if (m_registered) {
            WTSUnRegisterSessionNotification(m_window);
        }
        DestroyWindow(m_window);
    }
}

LRESULT CALLBACK LoginSessionLock::onMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        const auto* creation = reinterpret_cast<const CREATESTRUCTW*>(lParam);
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(creation->lpCreateParams));
    }
    auto* self = reinterpret_cast<LoginSessionLock*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (message == WM_WTSSESSION_CHANGE && self != nullptr &&
        (wParam == WTS_SESSION_LOCK || wParam == WTS_SESSION_UNLOCK)) {
        self->m_locked = wParam == WTS_SESSION_LOCK;
        if (self->m_listener) {
            self->m_listener();
        }
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

} // namespace dwellmark::platform::win32
