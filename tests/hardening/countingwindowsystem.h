#pragma once

#include "tracking/windowsystem.h"

#include <cstddef>
#include <functional>
#include <string>
#include <utility>

namespace dwellmark::testing {

/// Passes every question on to another window system and counts the ticks:
/// the tracker asks for the foreground window once on each.
class CountingWindowSystem final : public WindowSystem {
public:
    explicit CountingWindowSystem(WindowSystem& inner) : m_inner(inner) {}

    void beginTick() override { m_inner.beginTick(); }
    int changeDescriptor() const override { return m_inner.changeDescriptor(); }
    bool hasQueuedChanges() override { return m_inner.hasQueuedChanges(); }
    bool setChangeListener(std::function<void()> listener) override {
        return m_inner.setChangeListener(std::move(listener));
    }
    WindowHandle foregroundWindow() override {
        ++m_ticks;
        return m_inner.foregroundWindow();
    }
    bool isWindow(WindowHandle handle) override { return m_inner.isWindow(handle); }
    std::string getWindowTitle(WindowHandle handle) override { return m_inner.getWindowTitle(handle); }
    std::string getProcessName(WindowHandle handle) override { return m_inner.getProcessName(handle); }

    std::size_t ticks() const { return m_ticks; }

private:
    WindowSystem& m_inner;
    std::size_t m_ticks = 0;
};

} // namespace dwellmark::testing
