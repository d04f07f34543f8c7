// A backend with the session's lock in front of it: while locked, no window holds the foreground.
#include "lockawarewindowsystem.h"

#include <utility>

namespace dwellmark {

LockAwareWindowSystem::LockAwareWindowSystem(std::unique_ptr<WindowSystem> backend, std::unique_ptr<SessionLock> lock)
    : m_backend(std::move(backend)), m_lock(std::move(lock)) {}

void LockAwareWindowSystem::beginTick() {
    m_backend->beginTick();
    m_lock->beginTick();
}

bool LockAwareWindowSystem::sessionLocked() {
    return m_lock->isLocked() || m_backend->sessionLocked();
}

int LockAwareWindowSystem::changeDescriptor() const {
    return m_lock->changeDescriptor(m_backend->changeDescriptor());
}

bool LockAwareWindowSystem::hasQueuedChanges() {
    return m_backend->hasQueuedChanges() || m_lock->hasQueuedChanges();
}

bool LockAwareWindowSystem::setChangeListener(std::function<void()> listener) {
    m_lock->setChangeListener(listener);
    return m_backend->setChangeListener(std::move(listener));
}

WindowHandle LockAwareWindowSystem::findOwnWindow(WindowHandle nativeId, std::string_view title,
                                                  std::string_view appId) {
    return m_backend->findOwnWindow(nativeId, title, appId);
}

WindowHandle LockAwareWindowSystem::foregroundWindow() {
    return m_backend->foregroundWindow();
}

bool LockAwareWindowSystem::isWindow(WindowHandle handle) {
    return m_backend->isWindow(handle);
}

std::string LockAwareWindowSystem::getWindowTitle(WindowHandle handle) {
    return m_backend->getWindowTitle(handle);
}

std::string LockAwareWindowSystem::getProcessName(WindowHandle handle) {
    return m_backend->getProcessName(handle);
}

} // namespace dwellmark
