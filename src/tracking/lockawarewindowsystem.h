// A backend with the session's lock in front of it: while locked, no window holds the foreground.
#pragma once

#include "forwardingwindowsystem.h"
#include "sessionlock.h"

#include <memory>

namespace dwellmark {

/// The backend's answers, and the session lock's: sessionLocked() is the
/// lock's, every other question goes to the backend. The change reports of
/// both are the lock's feed (SessionLock::changes).
class LockAwareWindowSystem final : public ForwardingWindowSystem {
public:
    LockAwareWindowSystem(std::unique_ptr<WindowSystem> backend, std::unique_ptr<SessionLock> lock);

    /// Another number when either the backend's or the lock's changes.
    std::uint64_t beginTick() override;
    bool sessionLocked() override;

private:
    std::unique_ptr<SessionLock> m_lock;
};

} // namespace dwellmark
