// A desktop and a clock in memory, set by hand, for tests and benchmarks of the tracking core.
#pragma once

#include "tracking/timeofdayclock.h"
#include "tracking/windowsystem.h"

#include <map>
#include <string>
#include <vector>

namespace dwellmark::testing {

/// A desktop of windows that a test creates, destroys and focuses by hand. It
/// notes the title and process questions in probed unless told not to (a
/// benchmark that asks them millions of times).
class FakeWindowSystem final : public WindowSystem {
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
    void focus(WindowHandle handle) { m_foreground = handle; }
    /// Destroys a window but leaves the foreground naming it, as a platform may for a moment.
    void destroyKeepingForeground(WindowHandle handle) { m_windows.erase(handle); }

    WindowHandle foregroundWindow() override { return m_foreground; }
    bool isWindow(WindowHandle handle) override {
        ++isWindowCalls;
        return m_windows.count(handle) != 0;
    }
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

    std::vector<std::string> probed;
    int isWindowCalls = 0;

private:
    void note(const char* question, WindowHandle handle) {
        if (m_noteProbes) {
            probed.push_back(question + std::to_string(handle));
        }
    }

    bool m_noteProbes;
    std::map<WindowHandle, Window> m_windows;
    WindowHandle m_foreground = 0;
};

/// A clock that shows what the test sets; readings counts how often it was read.
class FakeClock final : public TimeOfDayClock {
public:
    float secondsSinceMidnight() override {
        ++readings;
        return now;
    }
    float now = 0.0F;
    int readings = 0;
};

} // namespace dwellmark::testing
