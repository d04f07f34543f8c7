// Whether the user's session is locked, as the operating system tells it.
#pragma once

#include "changefeed.h"

#include <cstdint>

namespace dwellmark {

/// Tells whether the user's session is locked (or its screen saver runs). One
/// implementation per operating system; LockAwareWindowSystem puts it in
/// front of a backend.
///
/// Every call is made on the user-interface thread.
class SessionLock {
public:
    virtual ~SessionLock() = default;

    /// Called at the start of every tick, before isLocked(): reads what has
    /// arrived, without blocking. Returns a number that only grows, and grows
    /// whenever the lock state may have changed (see WindowSystem::beginTick);
    /// 0, as this default answers, when it cannot tell.
    virtual std::uint64_t beginTick() { return 0; }

    /// Whether the session was locked at the last beginTick().
    virtual bool isLocked() = 0;

    /// The feed the front end watches: the lock's own reports joined with
    /// those of the backend's feed the lock was made beside, so that a tick
    /// runs promptly when the screen locks or unlocks. The lock alone does the
    /// joining (one descriptor for both on Linux). It lives as long as the lock.
    virtual ChangeFeed& changes() = 0;
};

} // namespace dwellmark
