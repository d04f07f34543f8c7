// What the tracker needs to know about the desktop's windows, and how a backend reports their changes.
#pragma once

#include "changewatcher.h"
#include "windowhandle.h"

#include <chrono>
#include <cstdint>
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

    /// Asked right after beginTick(): a number that is another whenever the
    /// answers may have changed. A tick that finds the number it acted on
    /// last has nothing to do (that tick did it all) and asks nothing more.
    /// 0, as this default answers: the backend cannot tell, and every tick
    /// asks.
    virtual std::uint64_t answersVersion() { return 0; }

    /// Change reports: how the front end learns that the answers may have
    /// changed, so that it ticks only then (and now and then for safety)
    /// instead of every millisecond. This is the one call a front end makes;
    /// it starts the reports to watcher (nullptr ends them) and returns false
    /// when the backend cannot report every change, and the front end then
    /// ticks every millisecond. A backend reports in one of two ways, chosen
    /// by the overrides below: a descriptor that the watcher's event loop
    /// watches (the display or bus connection on Linux), or calls of its own
    /// (the WinEvent hooks on Windows, which call back while the thread's
    /// messages are dispatched).
    bool watchChanges(ChangeWatcher* watcher) {
        if (watcher == nullptr) {
            setChangeListener({});
            return false;
        }
        if (const int descriptor = changeDescriptor(); descriptor >= 0 && watcher->watchDescriptor(descriptor)) {
            return true;
        }
        return setChangeListener([watcher] { watcher->changeReported(); });
    }

    /// For watchChanges(): a POSIX file descriptor that becomes readable when
    /// the answers may have changed, or -1 when the backend has none or cannot
    /// trust its events to tell of every change. The front end then also
    /// ticks whenever hasQueuedChanges() says so.
    virtual int changeDescriptor() const { return -1; }

    /// For a backend with a change descriptor: the descriptor has become
    /// readable. Reads what has arrived, without blocking, and tells whether
    /// any of it may change the answers; the front end ticks only then, and
    /// otherwise goes on watching the descriptor. A backend that leaves the
    /// reading to the tick answers true, as this default does.
    virtual bool readChanges() { return true; }

    /// Whether events that may change the answers were already read from the
    /// descriptor (while waiting for a reply, for example) and wait for the
    /// next tick in the backend's queue: the descriptor will not become
    /// readable for them.
    virtual bool hasQueuedChanges() { return false; }

    /// For watchChanges(), in a backend without a descriptor: calls listener
    /// on the user-interface thread every time the answers may have changed.
    /// Returns false when it cannot report every change. The listener may be
    /// called more than once per change. An empty listener ends the calls.
    virtual bool setChangeListener(std::function<void()> listener) {
        static_cast<void>(listener);
        return false;
    }

    /// With change reports: how long the front end goes without a tick while
    /// nothing is reported. That tick is a safety net for a report that went
    /// missing, and costs a wake-up of the whole program. The default, a
    /// second, suits reports that the system may skip (hooks). A backend whose
    /// reports come over a connection that loses nothing (the display server's
    /// or the bus's) answers connectionSafetyInterval: the net is then only
    /// for faults of the program's own, and a wake-up a second would be most
    /// of what an idle desktop costs.
    virtual std::chrono::milliseconds safetyTickInterval() const { return std::chrono::seconds(1); }

    /// What a backend answers safetyTickInterval() when its reports come over a connection.
    static constexpr std::chrono::milliseconds connectionSafetyInterval = std::chrono::minutes(1);

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
