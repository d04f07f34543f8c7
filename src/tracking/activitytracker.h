// The activity tracker: follows the foreground window and logs its stretches into the usage log and the totals.
#pragma once

#include "activitytable.h"
#include "windowhandle.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace dwellmark {

class TimeOfDayClock;
class WindowSystem;

/// The activity tracker of the main window: the three tables, the sampling
/// tick that follows the foreground window, and the logging of closed
/// stretches into the usage log and the per-title totals.
///
/// Everything runs on the user-interface thread; nothing is locked.
class ActivityTracker final {
public:
    ActivityTracker(WindowSystem& windows, TimeOfDayClock& clock);

    ActivityTracker(const ActivityTracker&) = delete;
    ActivityTracker& operator=(const ActivityTracker&) = delete;

    /// The desktop the tracker asks.
    WindowSystem& windows() const { return m_windows; }

    /// The main window's own handle: it never gets an open-interval row and
    /// its time is not logged.
    void setMainWindow(WindowHandle handle) { m_mainWindow = handle; }

    /// Names the main window as the front end knows it; the tracker asks the
    /// desktop for its own number for it (WindowSystem::findOwnWindow) now and,
    /// until it is found, at the start of every tick.
    void identifyMainWindow(WindowHandle nativeId, std::string title, std::string appId);
    WindowHandle mainWindow() const { return m_mainWindow; }

    /// One tick of the sampling timer: follow a change of the foreground
    /// window, then drop the rows of windows that no longer exist. While the
    /// session is locked no window holds the foreground: the open stretch is
    /// logged at the first locked tick and none opens until it is unlocked.
    /// When the desktop's answers are those of the last tick that asked
    /// (WindowSystem::beginTick), there is nothing to do and nothing is
    /// asked.
    void tick();

    /// Opens the window's stretch at the given time of day and steady clock
    /// reading, making its row on its first appearance (reading its
    /// application and title once; an application the desktop calls
    /// provisional is asked again at later ticks until it is known).
    void openStretch(WindowHandle handle, float at, double steadyAt);

    /// Stamps the end of the window's stretch, if it has a row.
    void closeStretch(WindowHandle handle, float at);

    /// Removes the rows of windows that no longer exist. The stretch of the
    /// foreground window is logged first when that window has gone.
    void purgeDeadWindows();

    /// Logs the closed stretch of the window into the usage log and the totals.
    /// Its length is the steady time since it opened, never the difference of
    /// two times of day.
    void logStretch(WindowHandle handle);

    /// Adds a stretch's seconds to the totals row of its title, or appends one.
    void addToTotals(std::string_view application, std::string_view title, std::int64_t seconds);

    /// The 1-based number of the totals row of the title, 0 when there is none.
    std::size_t findTotalsRow(std::string_view title) const;

    /// The running count of logged seconds; -1 until the first stretch is logged.
    std::int64_t loggedSeconds() const { return m_loggedSeconds; }
    void setLoggedSeconds(std::int64_t seconds) { m_loggedSeconds = seconds; }

    /// The non-zero handle seen at the last change of the foreground window;
    /// 0 before the first and while the session is locked.
    WindowHandle lastForeground() const { return m_lastForeground; }

    /// The usage log.
    ActivityTable& usageLog() { return m_usageLog; }
    const ActivityTable& usageLog() const { return m_usageLog; }
    /// The open-interval table (never shown).
    ActivityTable& openStretches() { return m_openStretches; }
    const ActivityTable& openStretches() const { return m_openStretches; }
    /// The totals table.
    ActivityTable& totals() { return m_totals; }
    const ActivityTable& totals() const { return m_totals; }

private:
    std::size_t findOpenRow(WindowHandle handle) const;
    /// Asks again for the applications still provisional and keeps those that are known now.
    void settleApplications();
    void purgeDeadWindows(std::optional<float> tickReading);

    WindowSystem& m_windows;
    TimeOfDayClock& m_clock;
    WindowHandle m_mainWindow = 0;
    /// How to find the main window while m_mainWindow is 0.
    struct MainWindowQuery {
        WindowHandle nativeId = 0;
        std::string title;
        std::string appId;
    };
    std::optional<MainWindowQuery> m_mainWindowQuery;
    WindowHandle m_lastForeground = 0;
    /// The desktop's WindowSystem::beginTick() answer at the last tick that
    /// asked all its questions; 0 before the first.
    std::uint64_t m_actedOn = 0;
    std::int64_t m_loggedSeconds = -1;
    /// When each open-interval row's stretch opened, beside its "Timer Start"
    /// text: the exact time-of-day reading, and the steady reading that
    /// lengths are measured from.
    struct Opening {
        float timeOfDay = 0.0F;
        double steady = 0.0;
    };
    std::unordered_map<WindowHandle, Opening> m_openings;
    /// The windows with an open-interval row whose application is provisional
    /// (WindowSystem::isProvisionalApplication).
    std::vector<WindowHandle> m_provisional;

    ActivityTable m_usageLog;
    ActivityTable m_openStretches;
    ActivityTable m_totals;
};

} // namespace dwellmark
