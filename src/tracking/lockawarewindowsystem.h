// A backend with the session's lock in front of it: while locked, no window holds the foreground.
#pragma once

#include "forwardingwindowsystem.h"
#include "sessionlock.h"

#include <memory>

namespace dwellmark {

/// The backend's answers, and the session lock's: sessionLocked() is the
/// lock's, every other question goes to the backend. The change reports of
/// both reach the same watcher, so that a tick runs promptly when the screen
/// locks or unlocks.
class LockAwareWindowSystem final : public ForwardingWindowSystem {
public:
    LockAwareWindowSystem(std::unique_ptr<WindowSystem> backend, std::unique_ptr<SessionLock> lock);

    void beginTick() override;
    /// Another number when either the backend's or the lock's changes.
    std::uint64_t answersVersion() override;
    bool sessionLocked() override;
    int changeDescriptor() const override;
    bool readChanges() override;
    bool hasQueuedChanges() override;
    bool setChangeListener(std::function<void()> listener) override;

private:
    std::unique_ptr<SessionLock> m_lock;
};

} // namespace dwellmark
