// A backend with the session's lock in front of it: while locked, no window holds the foreground.
#include "lockawarewindowsystem.h"

#include <utility>

namespace dwellmark {

LockAwareWindowSystem::LockAwareWindowSystem(std::unique_ptr<WindowSystem> backend, std::unique_ptr<SessionLock> lock)
    : ForwardingWindowSystem(std::move(backend)), m_lock(std::move(lock)) {}

std::uint64_t LockAwareWindowSystem::beginTick() {
    // Both only ever grow, so their sum is another as soon as either is.
    const std::uint64_t backendVersion = backend().beginTick();
    const std::uint64_t lockVersion = m_lock->beginTick();
    return backendVersion == 0 || lockVersion == 0 ? 0 : backendVersion + lockVersion;
}

bool LockAwareWindowSystem::sessionLocked() {
    return m_lock->isLocked() || backend().sessionLocked();
}

} // namespace dwellmark
