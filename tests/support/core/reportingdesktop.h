// The fake desktop with change reports, for the tests of the front ends' tick loops.
#pragma once

#include "fakes.h"

#include <chrono>
#include <functional>
#include <string>
#include <utility>

namespace dwellmark::testing {

/// A fake desktop that reports its changes by a descriptor, by calls, or not
/// at all, as the test sets it; its windows are its own or the test's.
class ReportingDesktop final : public WindowSystem, public ChangeFeed {
public:
    explicit ReportingDesktop(bool byCalls = false) : calls(byCalls), m_desktop(m_own) {}
    /// Reports by calls, answering from desktop.
    explicit ReportingDesktop(FakeWindowSystem& desktop) : calls(true), m_desktop(desktop) {}

    int descriptor = -1;
    bool calls = false;
    bool queued = false;
    /// What readChanges() finds in the descriptor.
    bool news = true;
    std::chrono::milliseconds safety = std::chrono::seconds(1);
    std::function<void()> listener;

    /// Reports a change by a call, when the front end listens.
    void report() const {
        if (listener) {
            listener();
        }
    }
    bool listening() const { return static_cast<bool>(listener); }

    int changeDescriptor() const override { return descriptor; }
    bool readChanges() override { return news; }
    bool hasQueuedChanges() override { return queued; }
    std::chrono::milliseconds safetyTickInterval() const override { return safety; }
    bool setChangeListener(std::function<void()> call) override {
        listener = calls ? std::move(call) : nullptr;
        return static_cast<bool>(listener);
    }
    WindowHandle foregroundWindow() override { return m_desktop.foregroundWindow(); }
    bool isWindow(WindowHandle handle) override { return m_desktop.isWindow(handle); }
    std::string getWindowTitle(WindowHandle handle) override { return m_desktop.getWindowTitle(handle); }
    std::string getProcessName(WindowHandle handle) override { return m_desktop.getProcessName(handle); }

private:
    FakeWindowSystem m_own;
    FakeWindowSystem& m_desktop;
};

} // namespace dwellmark::testing
