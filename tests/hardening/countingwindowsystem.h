#pragma once

#include "tracking/windowsystem.h"

#include <cstddef>
#include <string>

namespace dwellmark::testing {

/// Passes every question on to another window system and counts the ticks:
/// the tracker asks for the foreground window once on each.
class CountingWindowSystem final : public WindowSystem {
public:
    explicit CountingWindowSystem(WindowSystem& inner) : m_inner(inner) {}

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
