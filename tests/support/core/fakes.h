// A desktop and a clock in memory, set by hand, for tests and benchmarks of the tracking core.
#pragma once

#include "tracking/changefeed.h"
#include "tracking/timeofdayclock.h"
#include "tracking/windowsystem.h"

#include <cmath>
#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace dwellmark::testing {

/// A desktop of windows that a test creates, destroys and focuses by hand. It
/// notes the title and process questions in probed unless told not to (a
/// benchmark that asks them millions of times). Its feed reports nothing.
class FakeWindowSystem final : public WindowSystem, public ChangeFeed {
public:
    explicit FakeWindowSystem(bool noteProbes = true) : m_noteProbes(noteProbes) {}

    struct Window {
        std::string process;
        std::string title;
    };

    void create(WindowHandle handle, std::string process, std::string title) {
        m_windows[handle] = Window{std::move(process), std::move(title)};
    }
    void destroy(WindowHandle handle) {
        m_windows.erase(handle);
        if (m_foreground == handle) {
            m_foreground = 0;
        }
    }
    void setTitle(WindowHandle handle, std::string title) { m_windows.at(handle).title = std::move(title); }
    void setProcess(WindowHandle handle, std::string process) { m_windows.at(handle).process = std::move(process); }
    void focus(WindowHandle handle) { m_foreground = handle; }
    /// Destroys a window but leaves the foreground naming it, as a platform may for a moment.
    void destroyKeepingForeground(WindowHandle handle) { m_windows.erase(handle); }

    /// Locks or unlocks the session; the foreground is left as it was.
    void lock(bool locked) { m_locked = locked; }

    bool sessionLocked() override { return m_locked; }
    std::uint64_t beginTick() override { return version; }
    WindowHandle foregroundWindow() override { return m_foreground; }
    bool isWindow(WindowHandle handle) override { return m_windows.count(handle) != 0; }
    std::string getWindowTitle(WindowHandle handle) override {
        note("title ", handle);
        auto it = m_windows.find(handle);
        return it == m_windows.end() ? std::string() : it->second.title;
    }
    std::string getProcessName(WindowHandle handle) override {
        note("process ", handle);
        auto it = m_windows.find(handle);
        return it == m_windows.end() ? std::string() : it->second.process;
    }

    bool isProvisionalApplication(std::string_view application) const override {
        return !provisionalApplication.empty() && application == provisionalApplication;
    }

    std::vector<std::string> probed;
    /// The application that stands in for another until it is known; none unless the test names one.
    std::string provisionalApplication;
    /// What beginTick() says: 0 (cannot tell) unless the test keeps it.
    std::uint64_t version = 0;

private:
    void note(const char* question, WindowHandle handle) {
        if (m_noteProbes) {
            probed.push_back(question + std::to_string(handle));
        }
    }

    bool m_noteProbes;
    std::map<WindowHandle, Window> m_windows;
    WindowHandle m_foreground = 0;
    bool m_locked = false;
};

/// A clock that shows the time of day the test sets in now. Time passes evenly
/// unless the test says otherwise: when now has moved forward between two
/// readings, the steady clock has moved as far (a time of day lower than the
/// last one read is the next day). pass() lets any length of time go by, a
/// day or more too; step() moves only the wall clock, as setting the clock,
/// summer time, a change of time zone or waking from sleep do. readings counts
/// the readings of the steady clock, timeOfDayReadings those of the time of day.
class FakeClock final : public TimeOfDayClock {
public:
    float secondsSinceMidnight() override {
        ++timeOfDayReadings;
        follow();
        return now;
    }
    double steadySeconds() override {
        ++readings;
        follow();
        return m_steady;
    }

    /// Time goes by: both clocks move on, the time of day modulo a day.
    void pass(double seconds) {
        follow();
        m_steady += seconds;
        now = wrapped(static_cast<double>(now) + seconds);
        m_seen = now;
    }
    /// The wall clock moves by this much (forward or back) with no time passing.
    void step(double seconds) {
        follow();
        now = wrapped(static_cast<double>(now) + seconds);
        m_seen = now;
    }

    float now = 0.0F;
    int readings = 0;
    int timeOfDayReadings = 0;

private:
    static constexpr double secondsPerDay = 86400.0;

    static float wrapped(double timeOfDay) {
        const double day = timeOfDay - secondsPerDay * std::floor(timeOfDay / secondsPerDay);
        return static_cast<float>(day);
    }
    // Differences of floats are exact in a double, so the steady clock keeps
    // the test's times of day to the last bit.
    void follow() {
        if (now != m_seen) {
            const double moved = static_cast<double>(now) - static_cast<double>(m_seen);
            m_steady += moved < 0.0 ? moved + secondsPerDay : moved;
            m_seen = now;
        }
    }

    float m_seen = 0.0F;
    double m_steady = 0.0;
};

} // namespace dwellmark::testing
