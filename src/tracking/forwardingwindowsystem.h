// A window system that stands in front of another and passes on every question it does not answer itself.
#pragma once

#include "windowsystem.h"

#include <memory>
#include <utility>

namespace dwellmark {

/// The base of a window system that wraps a backend: each call goes to the
/// backend unless the derived class overrides it, so a wrapper states only
/// what it changes. The backend may be replaced while the program runs.
class ForwardingWindowSystem : public WindowSystem {
public:
    explicit ForwardingWindowSystem(std::unique_ptr<WindowSystem> backend) : m_backend(std::move(backend)) {}

    /// The window system the questions go to.
    WindowSystem& backend() const { return *m_backend; }

    std::uint64_t beginTick() override { return m_backend->beginTick(); }
    WindowHandle findOwnWindow(WindowHandle nativeId, std::string_view title, std::string_view appId) override {
        return m_backend->findOwnWindow(nativeId, title, appId);
    }
    bool sessionLocked() override { return m_backend->sessionLocked(); }
    WindowHandle foregroundWindow() override { return m_backend->foregroundWindow(); }
    bool isWindow(WindowHandle handle) override { return m_backend->isWindow(handle); }
    std::string getWindowTitle(WindowHandle handle) override { return m_backend->getWindowTitle(handle); }
    std::string getProcessName(WindowHandle handle) override { return m_backend->getProcessName(handle); }
    bool isProvisionalApplication(std::string_view application) const override {
        return m_backend->isProvisionalApplication(application);
    }

protected:
    /// Questions go to the new backend from the next call on; the old one is closed.
    void replaceBackend(std::unique_ptr<WindowSystem> backend) { m_backend = std::move(backend); }

private:
    std::unique_ptr<WindowSystem> m_backend;
};

} // namespace dwellmark
