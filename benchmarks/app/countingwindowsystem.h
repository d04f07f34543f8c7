#pragma once

#include "sharedtickcount.h"
#include "tracking/windowsystem.h"

#include <functional>
#include <utility>

namespace dwellmark::bench {

/// Passes every question on to the real window system, and counts the ticks of
/// the tracker: a tick asks for the foreground window exactly once.
class CountingWindowSystem final : public WindowSystem {
public:
    /// Both must outlive this object.
    CountingWindowSystem(WindowSystem& inner, SharedTickCount& ticks) : m_inner(inner), m_ticks(ticks) {}

    void beginTick() override { m_inner.beginTick(); }
    int changeDescriptor() const override { return m_inner.changeDescriptor(); }
    bool hasQueuedChanges() override { return m_inner.hasQueuedChanges(); }
    bool setChangeListener(std::function<void()> listener) override {
        return m_inner.setChangeListener(std::move(listener));
    }
    WindowHandle foregroundWindow() override;
    bool isWindow(WindowHandle handle) override { return m_inner.isWindow(handle); }
    std::string getWindowTitle(WindowHandle handle) override { return m_inner.getWindowTitle(handle); }
    std::string getProcessName(WindowHandle handle) override { return m_inner.getProcessName(handle); }

private:
    WindowSystem& m_inner;
    SharedTickCount& m_ticks;
};

} // namespace dwellmark::bench
