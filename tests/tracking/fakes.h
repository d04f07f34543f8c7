#pragma once

#include "tracking/timeofdayclock.h"
#include "tracking/windowsystem.h"

#include <map>
#include <string>
#include <vector>

namespace dwellmark::testing {

/// A desktop of windows that a test creates, destroys and focuses by hand.
class FakeWindowSystem final : public WindowSystem {
public:
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
        probed.push_back("title " + std::to_string(handle));
        auto it = m_windows.find(handle);
        return it == m_windows.end() ? std::string() : it->second.title;
    }
    std::string getProcessName(WindowHandle handle) override {
        probed.push_back("process " + std::to_string(handle));
        auto it = m_windows.find(handle);
        return it == m_windows.end() ? std::string() : it->second.process;
    }

    std::vector<std::string> probed;
    int isWindowCalls = 0;

private:
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
