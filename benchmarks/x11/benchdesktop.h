// A tracker on the real desktop, for the X11 backend's micro-benchmarks.
#pragma once

#include "testdesktop.h"
#include "tracking/activitytracker.h"
#include "tracking/timeofdayclock.h"
#include "tracking/windowsystem.h"

#include <cstdint>
#include <memory>
#include <vector>

namespace dwellmark::bench {

/// A tracker on the real desktop ($DISPLAY, with an EWMH window manager) that
/// has seen a number of windows of its own and sits on the last of them, so
/// that every further tick is a tick without a change.
class BenchDesktop final {
public:
    explicit BenchDesktop(int windows);

    WindowSystem& windows() { return *m_windows; }
    ActivityTracker& tracker() { return *m_tracker; }
    const std::vector<std::uint32_t>& windowIds() const { return m_ids; }

    /// What the backend saves a tick: asking the server for _NET_ACTIVE_WINDOW.
    std::uint32_t activeWindowByRoundTrip() { return m_desktop.activeWindow(); }

private:
    void activate(std::uint32_t window);

    testing::TestDesktop m_desktop;
    std::vector<std::uint32_t> m_ids;
    std::unique_ptr<WindowSystem> m_windows;
    std::unique_ptr<TimeOfDayClock> m_clock;
    std::unique_ptr<ActivityTracker> m_tracker;
};

} // namespace dwellmark::bench
