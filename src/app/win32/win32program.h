// The Windows program's parts wired together once, for main and for the tools
// that run the program as it is (the tick benchmark, the screenshots).
#pragma once

#include "platform/platform.h"
#include "tracking/activitytracker.h"
#include "tracking/timeofdayclock.h"
#include "ui/tickpacer.h"
#include "ui/win32/mainwindow.h"

#include <memory>
#include <string>

namespace dwellmark::app {

/// The tracker on the Windows desktop and clock, and the main window that
/// shows it, made (hidden) on the calling thread.
class Win32Program final {
public:
    /// The pointer file is looked for in programFolder. ticks: where the main
    /// window's ticks come from (a benchmark chooses; the program follows the
    /// desktop).
    explicit Win32Program(std::wstring programFolder, TickSource ticks = TickSource::DesktopEvents);

    Win32Program(const Win32Program&) = delete;
    Win32Program& operator=(const Win32Program&) = delete;

    ActivityTracker& tracker() { return m_tracker; }
    ui::win32::MainWindow& mainWindow() { return *m_mainWindow; }

    /// Shows the main window as showCommand says (the nCmdShow the program was
    /// started with) and runs the thread's messages until it is closed;
    /// returns the exit status.
    int exec(int showCommand = SW_SHOW);

private:
    platform::Desktop m_desktop;
    std::unique_ptr<TimeOfDayClock> m_clock;
    ActivityTracker m_tracker;
    std::unique_ptr<ui::win32::MainWindow> m_mainWindow;
};

/// The folder that holds the running program file.
std::wstring programFolder();

} // namespace dwellmark::app
