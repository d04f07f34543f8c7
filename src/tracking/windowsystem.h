// What the tracker needs to know about the desktop's windows.
#pragma once

#include "windowhandle.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace dwellmark {

/// What the tracker needs to know about the desktop's windows. Each operating
/// system has one implementation; tests use a fake. How the front end learns
/// that the answers may have changed is the ChangeFeed's part.
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
    /// Returns a number that is another whenever the answers may have
    /// changed. A tick that finds the number it acted on last has nothing to
    /// do (that tick did it all) and asks nothing more. 0, as this default
    /// answers: the backend cannot tell, and every tick asks.
    virtual std::uint64_t beginTick() { return 0; }

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

    /// Whether the user's session is locked (or its screen saver runs): then
    /// no window holds the foreground, whatever foregroundWindow() says. Asked
    /// once a tick, after beginTick().
    virtual bool sessionLocked() { return false; }

    /// The window that holds the foreground now, or 0 when none does.
    virtual WindowHandle foregroundWindow() = 0;

    /// Whether the handle names a window that exists now.
    virtual bool isWindow(WindowHandle handle) = 0;

    /// The window's title as UTF-8; empty when it has none or cannot be read.
    virtual std::string getWindowTitle(WindowHandle handle) = 0;

    /// The base name of the executable of the process that owns the window, as
    /// UTF-8; empty when it cannot be read.
    virtual std::string getProcessName(WindowHandle handle) = 0;

    /// Whether an application that getProcessName() answered is a stand-in
    /// for now: a host process that draws the window of the program in use
    /// before that program has joined it, as it does while the program
    /// starts. The tracker asks again at later ticks until the answer is no
    /// stand-in, and keeps that one. The default: every answer is final.
    virtual bool isProvisionalApplication(std::string_view application) const {
        static_cast<void>(application);
        return false;
    }
};

} // namespace dwellmark
