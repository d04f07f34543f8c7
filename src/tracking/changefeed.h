// How the front end learns that the desktop's answers may have changed.
#pragma once

#include "changewatcher.h"

#include <chrono>
#include <functional>

namespace dwellmark {

/// Change reports: how the front end learns that the answers of a WindowSystem
/// may have changed, so that it ticks only then (and now and then for safety)
/// instead of every millisecond. A backend offers one, usually as the same
/// object. It reports by a descriptor that the watcher's event loop watches
/// (the display or bus connection on Linux), or by calls of its own (the
/// WinEvent hooks on Windows); this base reports nothing. Every call is made on
/// the user-interface thread.
class ChangeFeed {
public:
    virtual ~ChangeFeed() = default;

    /// The one call a front end makes: starts the reports to watcher (nullptr
    /// ends them); false when the feed cannot report every change, and the
    /// front end then ticks every millisecond.
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
    /// the answers may have changed, or -1 when the feed has none or cannot
    /// trust its events to tell of every change. The front end then also
    /// ticks whenever hasQueuedChanges() says so.
    virtual int changeDescriptor() const { return -1; }

    /// For a feed with a change descriptor: the descriptor has become
    /// readable. Reads what has arrived, without blocking, and tells whether
    /// any of it may change the answers; the front end ticks only then, and
    /// otherwise goes on watching the descriptor. A feed that leaves the
    /// reading to the tick answers true, as this default does.
    virtual bool readChanges() { return true; }

    /// Whether events that may change the answers were already read from the
    /// descriptor (while waiting for a reply, for example) and wait for the
    /// next tick in the backend's queue: the descriptor will not become
    /// readable for them.
    virtual bool hasQueuedChanges() { return false; }

    /// For watchChanges(), in a feed without a descriptor: calls listener on
    /// the user-interface thread every time the answers may have changed.
    /// Returns false when it cannot report every change. The listener may be
    /// called more than once per change. An empty listener ends the calls.
    virtual bool setChangeListener(std::function<void()> listener) {
        static_cast<void>(listener);
        return false;
    }

    /// How long the front end goes without a tick while nothing is reported:
    /// a safety net for a lost report, which costs a wake-up of the whole
    /// program. The default, a second, suits reports that the system may skip
    /// (hooks). A feed whose reports come over a connection that loses nothing
    /// (the display server's or the bus's) answers connectionSafetyInterval:
    /// the net is then only for the program's own faults, and a wake-up a
    /// second would be most of what an idle desktop costs.
    virtual std::chrono::milliseconds safetyTickInterval() const { return std::chrono::seconds(1); }

    /// What a feed answers safetyTickInterval() when its reports come over a connection.
    static constexpr std::chrono::milliseconds connectionSafetyInterval = std::chrono::minutes(1);
};

} // namespace dwellmark
