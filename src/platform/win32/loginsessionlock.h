// Whether the Windows session is locked, from the session messages of a hidden window of its own.
#pragma once

#include "tracking/sessionlock.h"
#include "win32api/windowsheaders.h"

#include <functional>

namespace dwellmark::platform::win32 {

/// The lock of the session the program runs in: a hidden window of its own
/// is registered for the session's notifications (WTSRegisterSessionNotification),
/// and WTS_SESSION_LOCK and WTS_SESSION_UNLOCK arrive with the thread's
/// messages. Made and used on the user-interface thread.
class LoginSessionLock final : public SessionLock {
public:
    /// The class of the hidden window, which the tests send the messages to.
    static constexpr wchar_t windowClass[] = L"DwellmarkSessionLock";

    LoginSessionLock();
    ~LoginSessionLock() override;

    LoginSessionLock(const LoginSessionLock&) = delete;
    LoginSessionLock& operator=(const LoginSessionLock&) = delete;

    bool isLocked() override { return m_locked; }
    void setChangeListener(std::function<void()> listener) override { m_listener = std::move(listener); }

    /// The window the session messages come to.
    HWND window() const { return m_window; }

private:
    static LRESULT CALLBACK onMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

    HWND m_window = nullptr;
    bool m_registered = false;
    bool m_locked = false;
    std::function<void()> m_listener;
};

} // namespace dwellmark::platform::win32
