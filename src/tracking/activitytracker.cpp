// The activity tracker: follows the foreground window and logs its stretches into the usage log and the totals.
#include "activitytracker.h"

#include "activitytables.h"
#include "formattime.h"
#include "textforms.h"
#include "timeofdayclock.h"
#include "windowsystem.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <string>
#include <utility>

namespace dwellmark {

namespace {

std::int64_t toWholeSeconds(double value) {
    const double rounded = roundHalfEven(value);
    if (!(rounded > static_cast<double>(std::numeric_limits<std::int64_t>::min()) &&
          rounded < static_cast<double>(std::numeric_limits<std::int64_t>::max()))) {
        return rounded > 0 ? std::numeric_limits<std::int64_t>::max() : std::numeric_limits<std::int64_t>::min();
    }
    return static_cast<std::int64_t>(rounded);
}

} // namespace

ActivityTracker::ActivityTracker(WindowSystem& windows, TimeOfDayClock& clock)
    : m_windows(windows), m_clock(clock), m_usageLog(makeUsageLog()), m_openStretches(makeOpenIntervalTable()),
      m_totals(makeTotalsTable()) {}

void ActivityTracker::identifyMainWindow(WindowHandle nativeId, std::string title, std::string appId) {
    m_mainWindowQuery = MainWindowQuery{nativeId, std::move(title), std::move(appId)};
    m_mainWindow = m_windows.findOwnWindow(nativeId, m_mainWindowQuery->title, m_mainWindowQuery->appId);
}

void ActivityTracker::tick() {
    const std::uint64_t version = m_windows.beginTick();
    bool changed = version == 0 || version != m_actedOn;
    if (m_mainWindow == 0 && m_mainWindowQuery) {
        // Asked before the foreground is read, so that the tick that brings
        // the main window's first appearance already knows it as ours.
        m_mainWindow =
            m_windows.findOwnWindow(m_mainWindowQuery->nativeId, m_mainWindowQuery->title, m_mainWindowQuery->appId);
        changed = changed || m_mainWindow != 0;
    }
    // The same answers as at the last tick that asked, which did all there was to do with them.
    if (!changed) {
        return;
    }
    m_actedOn = version;
    // Before any stretch of this tick is logged, so that it has the name.
    settleApplications();
    std::optional<float> reading;
    if (m_windows.sessionLocked()) {
        // Nobody uses a window at the lock screen: the stretch ends at the
        // lock, nothing is logged while it lasts, and whichever window has the
        // foreground after unlocking opens a new stretch.
        if (m_lastForeground != 0) {
            const float t = m_clock.secondsSinceMidnight();
            reading = t;
            closeStretch(m_lastForeground, t);
            logStretch(m_lastForeground);
            m_lastForeground = 0;
        }
        purgeDeadWindows(reading);
        return;
    }
    const WindowHandle h = m_windows.foregroundWindow();
    if (h != 0 && h != m_lastForeground) {
        const float t = m_clock.secondsSinceMidnight();
        reading = t;
        openStretch(h, t, m_clock.steadySeconds());
        closeStretch(m_lastForeground, t);
        logStretch(m_lastForeground);
        m_lastForeground = h;
    }
    purgeDeadWindows(reading);
}

std::size_t ActivityTracker::findOpenRow(WindowHandle handle) const {
    const std::size_t count = m_openStretches.rowCount();
    for (std::size_t row = 1; row <= count; ++row) {
        if (handleFromText(m_openStretches.text(row, OpenColumn::Handle)) == handle) {
            return row;
        }
    }
    return 0;
}

void ActivityTracker::openStretch(WindowHandle handle, float at, double steadyAt) {
    if (const std::size_t row = findOpenRow(handle); row != 0) {
        m_openStretches.setText(row, OpenColumn::TimerStart, timeOfDayText(at));
        m_openStretches.setText(row, OpenColumn::TimerEnd, std::string_view());
        m_openings[handle] = Opening{at, steadyAt};
        return;
    }
    if (handle == 0 || handle == m_mainWindow) {
        return;
    }
    // The process name is read before the title.
    const std::string application = m_windows.getProcessName(handle);
    const std::string title = m_windows.getWindowTitle(handle);
    m_openStretches.addRow({handleText(handle), application, title, timeOfDayText(at), std::string_view()});
    m_openings[handle] = Opening{at, steadyAt};
    if (m_windows.isProvisionalApplication(application)) {
        m_provisional.push_back(handle);
    }
}

void ActivityTracker::settleApplications() {
    std::erase_if(m_provisional, [this](WindowHandle handle) {
        const std::string application = m_windows.getProcessName(handle);
        if (application.empty() || m_windows.isProvisionalApplication(application)) {
            return false;
        }
        if (const std::size_t row = findOpenRow(handle); row != 0) {
            m_openStretches.setText(row, OpenColumn::Application, application);
        }
        return true;
    });
}

void ActivityTracker::closeStretch(WindowHandle handle, float at) {
    if (handle == 0) {
        return;
    }
    if (const std::size_t row = findOpenRow(handle); row != 0) {
        m_openStretches.setText(row, OpenColumn::TimerEnd, timeOfDayText(at));
    }
}

void ActivityTracker::purgeDeadWindows() {
    purgeDeadWindows(std::nullopt);
}

void ActivityTracker::purgeDeadWindows(std::optional<float> tickReading) {
    bool removed = true;
    while (removed) {
        removed = false;
        const std::size_t count = m_openStretches.rowCount();
        for (std::size_t row = 1; row <= count; ++row) {
            const WindowHandle v = handleFromText(m_openStretches.text(row, OpenColumn::Handle));
            if (v == 0 || m_windows.isWindow(v)) {
                continue;
            }
            if (v == m_lastForeground && m_openStretches.text(row, OpenColumn::TimerEnd).empty()) {
                // The foreground window has gone with its stretch still open:
                // log that stretch rather than lose it, and forget the handle
                // so that a new window that gets it is seen as a change.
                const float at = tickReading ? *tickReading : m_clock.secondsSinceMidnight();
                closeStretch(v, at);
                logStretch(v);
                m_lastForeground = 0;
            }
            m_openStretches.removeRow(row);
            m_openings.erase(v);
            std::erase(m_provisional, v);
            removed = true;
            break;
        }
    }
}

void ActivityTracker::logStretch(WindowHandle handle) {
    if (handle == 0 || handle == m_mainWindow) {
        return;
    }
    std::size_t source = 0;
    const std::size_t count = m_openStretches.rowCount();
    for (std::size_t row = 1; row <= count; ++row) {
        if (handleFromText(m_openStretches.text(row, OpenColumn::Handle)) == handle &&
            !m_openStretches.text(row, OpenColumn::WindowTitle).empty()) {
            source = row;
            break;
        }
    }
    const auto opening = m_openings.find(handle);
    if (source == 0 || m_openStretches.text(source, OpenColumn::TimerEnd).empty() || opening == m_openings.end()) {
        return;
    }

    const std::string_view application = m_openStretches.text(source, OpenColumn::Application);
    const std::string_view title = m_openStretches.text(source, OpenColumn::WindowTitle);
    if (m_loggedSeconds == -1) {
        m_loggedSeconds = 0;
    }
    const std::string timeStartText = wholeSecondsText(m_loggedSeconds);

    // The stretch ends where its opening time of day, carried on by the steady
    // time since, has got to: while the wall clock runs evenly that is the
    // clock's own reading now, and a step of the wall clock, summer time, a
    // new time zone, midnight or a night asleep in between change nothing.
    const double steadyElapsed = m_clock.steadySeconds() - opening->second.steady;
    const double now = roundHalfEven(static_cast<double>(opening->second.timeOfDay) + steadyElapsed);
    const double start = leadingNumber(m_openStretches.text(source, OpenColumn::TimerStart));
    // Rounding the end can put it just before the start of a stretch of a few
    // milliseconds; a stretch never lasts less than nothing.
    const std::int64_t length = std::max<std::int64_t>(0, toWholeSeconds(now - start));

    m_loggedSeconds += length;
    const std::string timeEndText = wholeSecondsText(m_loggedSeconds);

    // The row's figures are read back from its texts, as they are shown.
    const auto timeStart = toWholeSeconds(leadingNumber(timeStartText));
    const auto timeEnd = toWholeSeconds(leadingNumber(timeEndText));
    const std::string totalText = wholeSecondsText(timeEnd - timeStart);
    // The row comes whole: a list that shows it draws it once.
    m_usageLog.addRow({application, title, timeStartText, timeEndText,
                       formatTime(timeStart) + " - " + formatTime(timeEnd), totalText});

    addToTotals(application, title, toWholeSeconds(leadingNumber(totalText)));
}

void ActivityTracker::addToTotals(std::string_view application, std::string_view title, std::int64_t seconds) {
    if (const std::size_t row = findTotalsRow(title); row != 0) {
        const double total =
            leadingNumber(m_totals.text(row, TotalsColumn::TotalSeconds)) + static_cast<double>(seconds);
        const std::int64_t whole = toWholeSeconds(total);
        m_totals.setText(row, TotalsColumn::TotalTime, formatTime(whole));
        m_totals.setText(row, TotalsColumn::TotalSeconds, wholeSecondsText(whole));
        return;
    }
    m_totals.addRow({application, title, formatTime(seconds), wholeSecondsText(seconds)});
}

std::size_t ActivityTracker::findTotalsRow(std::string_view title) const {
    const std::size_t count = m_totals.rowCount();
    for (std::size_t row = 1; row <= count; ++row) {
        if (m_totals.text(row, TotalsColumn::WindowTitle) == title) {
            return row;
        }
    }
    return 0;
}

} // namespace dwellmark
