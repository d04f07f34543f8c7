// A backend with the session's lock in front of it: while locked, no window holds the foreground.
#pragma once

#include "sessionlock.h"
#include "windowsystem.h"

#include <memory>

namespace dwellmark {

/// The backend's answers, and the session lock's: sessionLocked() is the
/// lock's, every other question goes to the backend. The change reports of
/// both reach the same watcher, so that a tick runs promptly when the screen
/// locks or unlocks.
class LockAwareWindowSystem final : public WindowSystem {
public:
    LockAwareWindowSystem(std::unique_ptr<WindowSystem> backend, std::unique_ptr<SessionLock> lock);

    /// The window system that answers everything but the lock.
    WindowSystem& backend() const { return *m_backend; }

    void beginTick() override;
    bool sessionLocked() override;
    int changeDescriptor() const override;
    bool hasQueuedChanges() override;
    bool setChangeListener(std::function<void()> listener) override;
    WindowHandle findOwnWindow(WindowHandle nativeId, std::string_view title, std::string_view appId) override;
    WindowHandle foregroundWindow() override;
    bool isWindow(WindowHandle handle) override;
    std::string getWindowTitle(WindowHandle handle) override;
    std::string getProcessName(WindowHandle handle) override;

private:
    std::unique_ptr<WindowSystem> m_backend;
    std::unique_ptr<SessionLock> m_lock;
};

} // namespace dwellmark
