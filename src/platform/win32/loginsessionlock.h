// Whether the Windows session is locked, from the session messages of a hidden window of its own.
#pragma once

#include "tracking/forwardingchangefeed.h"
#include "tracking/sessionlock.h"
#include "win32api/windowsheaders.h"

#include <functional>
#include <utility>

namespace dwellmark::platform::win32 {

/// The lock of the session the program runs in: a hidden window of its own
/// is registered for the session's notifications (WTSRegisterSessionNotification),
/// and WTS_SESSION_LOCK and WTS_SESSION_UNLOCK arrive with the thread's
/// messages. Made and used on the user-interface thread. Its feed is the
/// backend's, whose listener hears the lock's changes too.
class LoginSessionLock final : public SessionLock, private ForwardingChangeFeed {
public:
    /// The class of the hidden window, which the tests send the messages to.
    static constexpr wchar_t windowClass[] = L"DwellmarkSessionLock";

    /// alongside: the backend's feed, which must outlive the lock.
    explicit LoginSessionLock(ChangeFeed& alongside);
    ~LoginSessionLock() override;

    LoginSessionLock(const LoginSessionLock&) = delete;
    LoginSessionLock& operator=(const LoginSessionLock&) = delete;

    bool isLocked() override { return m_locked; }
    ChangeFeed& changes() override { return *this; }

    /// The window the session messages come to.
    HWND window() const { return m_window; }

private:
    bool setChangeListener(std::function<void()> listener) override {
        m_listener = listener;
        return ForwardingChangeFeed::setChangeListener(std::move(listener));
    }
    static LRESULT CALLBACK onMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

    HWND m_window = nullptr;
    bool m_registered = false;
    bool m_locked = false;
    std::function<void()> m_listener;
};

} // namespace dwellmark::platform::win32
