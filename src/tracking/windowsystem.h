#pragma once

#include "windowhandle.h"

#include <functional>
#include <string>
#include <string_view>

namespace dwellmark {

/// What the tracker needs to know about the desktop's windows. Each operating
/// system has one implementation; tests use a fake.
///
/// Every call is made on the user-interface thread. None of them throws for a
/// window that cannot be read: an empty text or 0 is the answer.
class WindowSystem {
public:
    virtual ~WindowSystem() = default;

    /// Called by the tracker once at the start of every tick, before any other
    /// question of that tick. A backend that learns about the desktop from
    /// events reads what has arrived here, without blocking, and answers every
    /// question of the tick from that one state of the desktop; a question
    /// asked outside a tick is answered from the state of the last one.
    virtual void beginTick() {}

    /// A POSIX file descriptor that becomes readable when the answers may have
    /// changed (the connection to the display server or bus), or -1 when the
    /// backend has none or cannot trust its events to tell of every change. A
    /// front end may then tick only when it is readable, provided it also
    /// ticks whenever hasQueuedChanges() says so.
    virtual int changeDescriptor() const { return -1; }

    /// Whether events that may change the answers were already read from the
    /// descriptor (while waiting for a reply, for example) and wait for the
    /// next tick in the backend's queue: the descriptor will not become
    /// readable for them.
    virtual bool hasQueuedChanges() { return false; }

    /// Asks the backend to call listener, on the user-interface thread, every
    /// time the answers may have changed (for example from the desktop's event
    /// hooks). Returns false when it cannot report every change; then the
    /// caller ticks on its own timer. The listener may be called more than once
    /// per change, and must not tick from inside the call. An empty listener
    /// ends the calls.
    virtual bool setChangeListener(std::function<void()> listener) {
        static_cast<void>(listener);
        return false;
    }

    /// The backend's number for one of this program's own top-level windows,
    /// known to the front end by its native id, title and application id; 0
    /// while the backend has not learned of it yet (ask again at a later tick).
    /// Where the front end speaks the backend's own protocol (X11, Win32) the
    /// native id is that number already.
    virtual WindowHandle findOwnWindow(WindowHandle nativeId, std::string_view title, std::string_view appId) {
        static_cast<void>(title);
        static_cast<void>(appId);
        return nativeId;
    }

    /// The window that holds the foreground now, or 0 when none does.
    virtual WindowHandle foregroundWindow() = 0;

    /// Whether the handle names a window that exists now.
    virtual bool isWindow(WindowHandle handle) = 0;

    /// The window's title as UTF-8; empty when it has none or cannot be read.
    virtual std::string getWindowTitle(WindowHandle handle) = 0;

    /// The base name of the executable of the process that owns the window, as
    /// UTF-8; empty when it cannot be read.
    virtual std::string getProcessName(WindowHandle handle) = 0;
};

} // namespace dwellmark
