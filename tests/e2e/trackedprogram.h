// The program as it runs, inside a hardening test.
#pragma once

#include "app/qtprogram.h"
#include "countingwindowsystem.h"
#include "platform/x11/x11windowsystem.h"
#include "tracking/timeofdayclock.h"

#include <QTemporaryDir>
#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>

namespace dwellmark::testing {

class WindowFarm;

/// The program as it runs, inside the test: the main window MainWindow with its
/// timer, the tracker and the real X11 backend on the display of $DISPLAY.
/// Its ticks run whenever the test runs the event loop.
class TrackedProgram final {
public:
    /// Shows the main window and has the window manager activate it.
    explicit TrackedProgram(TickSource ticks = TickSource::DesktopEvents);

    TrackedProgram(const TrackedProgram&) = delete;
    TrackedProgram& operator=(const TrackedProgram&) = delete;

    platform::x11::X11WindowSystem& windows() { return m_windows; }
    ActivityTracker& tracker() { return m_program->tracker(); }
    ui::MainWindow& mainWindow() { return m_program->mainWindow(); }
    /// How many ticks have run so far.
    std::size_t ticks() const { return m_counting.ticks(); }

    /// Runs the event loop for about a millisecond.
    static void idle();
    /// Runs the event loop until the condition holds; false when the time is up first.
    static bool runUntil(const std::function<bool()>& condition,
                         std::chrono::milliseconds timeout = std::chrono::seconds(60));

    /// Has the farm ask the window manager to activate the window until the
    /// tracker has seen it in the foreground (a request made before the window
    /// manager has taken the window on is dropped).
    bool activate(WindowFarm& farm, std::uint32_t window);

private:
    platform::x11::X11WindowSystem m_windows;
    CountingWindowSystem m_counting{m_windows};
    std::unique_ptr<TimeOfDayClock> m_clock;
    QTemporaryDir m_folder;
    std::unique_ptr<app::QtProgram> m_program;
};

} // namespace dwellmark::testing
