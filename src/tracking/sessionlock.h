// Whether the user's session is locked, as the operating system tells it.
#pragma once

#include <cstdint>
#include <functional>

namespace dwellmark {

/// Tells whether the user's session is locked (or its screen saver runs), and
/// reports when that may have changed. One implementation per operating
/// system; LockAwareWindowSystem puts it in front of a backend.
///
/// Every call is made on the user-interface thread.
class SessionLock {
public:
    virtual ~SessionLock() = default;

    /// Called at the start of every tick, before isLocked(): reads what has
    /// arrived, without blocking.
    virtual void beginTick() {}

    /// Read after beginTick(): a number that only grows, and grows whenever
    /// the lock state may have changed (see WindowSystem::answersVersion);
    /// 0, as this default answers, when it cannot tell.
    virtual std::uint64_t stateVersion() { return 0; }

    /// Whether the session was locked at the last beginTick().
    virtual bool isLocked() = 0;

    /// A POSIX descriptor that becomes readable when either the lock state may
    /// have changed or alongside (the backend's change descriptor) is
    /// readable; -1 when there is none, or when alongside is -1 (the front end
    /// then looks every millisecond anyway). The default has no descriptor.
    virtual int changeDescriptor(int alongside) {
        static_cast<void>(alongside);
        return -1;
    }

    /// The descriptor of changeDescriptor() has become readable: reads the
    /// lock's own part of it, without blocking, and tells whether the lock
    /// state may have changed (see WindowSystem::readChanges). The default,
    /// without a descriptor of its own, has nothing to read.
    virtual bool readChanges() { return false; }

    /// Whether lock changes were already read and wait for the next tick.
    virtual bool hasQueuedChanges() { return false; }

    /// Calls listener on the user-interface thread every time the lock state
    /// may have changed, for a backend that reports by calls rather than a
    /// descriptor; an empty listener ends the calls. The default reports
    /// nothing this way.
    virtual void setChangeListener(std::function<void()> listener) { static_cast<void>(listener); }
};

} // namespace dwellmark
