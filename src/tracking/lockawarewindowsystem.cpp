// A backend with the session's lock in front of it: while locked, no window holds the foreground.
#include "lockawarewindowsystem.h"

#include <utility>

namespace dwellmark {

LockAwareWindowSystem::LockAwareWindowSystem(std::unique_ptr<WindowSystem> backend, std::unique_ptr<SessionLock> lock)
    : ForwardingWindowSystem(std::move(backend)), m_lock(std::move(lock)) {}

void LockAwareWindowSystem::beginTick() {
    backend().beginTick();
    m_lock->beginTick();
}

std::uint64_t LockAwareWindowSystem::answersVersion() {
    // Both only ever grow, so their sum is another as soon as either is.
    const std::uint64_t backendVersion = backend().answersVersion();
    const std::uint64_t lockVersion = m_lock->stateVersion();
    return backendVersion == 0 || lockVersion == 0 ? 0 : backendVersion + lockVersion;
}

bool LockAwareWindowSystem::sessionLocked() {
    return m_lock->isLocked() || backend().sessionLocked();
}

int LockAwareWindowSystem::changeDescriptor() const {
    return m_lock->changeDescriptor(backend().changeDescriptor());
}

bool LockAwareWindowSystem::readChanges() {
    // Both read what is theirs, whatever the other found.
    const bool backendChanged = backend().readChanges();
    const bool lockChanged = m_lock->readChanges();
    return backendChanged || lockChanged;
}

bool LockAwareWindowSystem::hasQueuedChanges() {
    return backend().hasQueuedChanges() || m_lock->hasQueuedChanges();
}

bool LockAwareWindowSystem::setChangeListener(std::function<void()> listener) {
    m_lock->setChangeListener(listener);
    return backend().setChangeListener(std::move(listener));
}

} // namespace dwellmark
