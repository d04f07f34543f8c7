// The program's parts wired together once, for main and for the tests and
// benchmarks that run the program as it is.
#pragma once

#include "platform/platform.h"
#include "tracking/activitytracker.h"
#include "ui/qt/mainwindow.h"

#include <QString>
#include <functional>

namespace dwellmark::app {

/// The tracker on a window system and clock, and the main window that shows
/// it, ticking on the window system's change reports. Needs the application
/// object; the window system, its feed and the clock must outlive it.
class QtProgram final {
public:
    /// The pointer file is looked for in programFolder; by default the folder
    /// of the running executable. ticks: where the main window's ticks come
    /// from (tests and benchmarks choose; the program follows the desktop).
    /// notice: what the main window says about how the desktop is seen, and
    /// offer what it offers to do about it.
    QtProgram(WindowSystem& windows, ChangeFeed& changes, TimeOfDayClock& clock, const QString& programFolder = {},
              TickSource ticks = TickSource::DesktopEvents, const QString& notice = {}, ui::NoticeOffer offer = {});

    ActivityTracker& tracker() { return m_tracker; }
    ui::MainWindow& mainWindow() { return m_mainWindow; }

    /// Shows the main window and runs the event loop until it is closed.
    int exec();

private:
    ActivityTracker m_tracker;
    ui::MainWindow m_mainWindow;
};

/// Has Qt draw the program's windows with the protocol the window system
/// follows (to be called before the application object exists). A
/// QT_QPA_PLATFORM that is set already is left alone.
void chooseQtPlatform(platform::DisplayProtocol protocol);

/// Lets a caller put a window system or change feed of its own between the
/// backend and the tracker or the ticks (a benchmark counts the ticks this
/// way): it points either at one that stands in front of the one given.
using BackendWrapper = std::function<void(WindowSystem*& windows, ChangeFeed*& changes)>;

/// Runs Dwellmark: reaches the desktop, then makes the application object and
/// the program and runs until the main window is closed. Returns the exit
/// status; a desktop that cannot be reached is one line on standard error.
int run(int argc, char* argv[], const BackendWrapper& wrap = {}, TickSource ticks = TickSource::DesktopEvents);

} // namespace dwellmark::app
