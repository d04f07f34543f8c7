// A window system that passes everything on to another and counts the ticks.
#pragma once

#include "tracking/windowsystem.h"

#include <cstddef>
#include <functional>
#include <string>
#include <utility>

namespace dwellmark::testing {

/// Passes every question on to another window system and counts the tracker's
/// ticks (each begins with one beginTick()); onTick, when given, hears each.
class CountingWindowSystem final : public WindowSystem {
public:
    /// inner must outlive this object.
    explicit CountingWindowSystem(WindowSystem& inner, std::function<void()> onTick = {})
        : m_inner(inner), m_onTick(std::move(onTick)) {}

    std::uint64_t beginTick() override {
        ++m_ticks;
        if (m_onTick) {
            m_onTick();
        }
        return m_inner.beginTick();
    }
    bool sessionLocked() override { return m_inner.sessionLocked(); }
    WindowHandle findOwnWindow(WindowHandle nativeId, std::string_view title, std::string_view appId) override {
        return m_inner.findOwnWindow(nativeId, title, appId);
    }
    WindowHandle foregroundWindow() override { return m_inner.foregroundWindow(); }
    bool isWindow(WindowHandle handle) override { return m_inner.isWindow(handle); }
    std::string getWindowTitle(WindowHandle handle) override { return m_inner.getWindowTitle(handle); }
    std::string getProcessName(WindowHandle handle) override { return m_inner.getProcessName(handle); }
    bool isProvisionalApplication(std::string_view application) const override {
        return m_inner.isProvisionalApplication(application);
    }

    std::size_t ticks() const { return m_ticks; }

private:
    WindowSystem& m_inner;
    std::function<void()> m_onTick;
    std::size_t m_ticks = 0;
};

} // namespace dwellmark::testing
