#include "trackerchecks.h"

#include "testdesktop.h"
#include "tracking/activitytables.h"
#include "tracking/activitytracker.h"
#include "tracking/formattime.h"
#include "tracking/textforms.h"

#include <cmath>
#include <cstdint>
#include <map>
#include <set>
#include <string_view>

namespace dwellmark::testing {

namespace {

std::int64_t wholeNumber(std::string_view text) {
    return static_cast<std::int64_t>(std::llround(leadingNumber(text)));
}

std::string rowName(std::string_view table, std::size_t row) {
    return std::string(table) + " row " + std::to_string(row) + ": ";
}

} // namespace

std::vector<std::string> trackerFaults(const ActivityTracker& tracker) {
    std::vector<std::string> faults;
    const ActivityTable& log = tracker.usageLog();
    std::int64_t position = 0;
    std::map<std::string, std::int64_t, std::less<>> perTitle;
    for (std::size_t row = 1; row <= log.rowCount(); ++row) {
        const std::int64_t start = wholeNumber(log.text(row, LogColumn::TimeStart));
        const std::int64_t end = wholeNumber(log.text(row, LogColumn::TimeEnd));
        const std::int64_t total = wholeNumber(log.text(row, LogColumn::Total));
        if (start != position) {
            faults.push_back(rowName("log", row) + "starts at " + std::to_string(start) + ", not at " +
                             std::to_string(position));
        }
        if (total != end - start || total < 0) {
            faults.push_back(rowName("log", row) + "\"Total\" " + std::to_string(total) + " is not " +
                             std::to_string(end) + " - " + std::to_string(start));
        }
        const std::string time = formatTime(start) + " - " + formatTime(end);
        if (log.text(row, LogColumn::Time) != time) {
            faults.push_back(rowName("log", row) + "\"Time\" is \"" + std::string(log.text(row, LogColumn::Time)) +
                             "\", not \"" + time + "\"");
        }
        if (log.text(row, LogColumn::WindowTitle).empty()) {
            faults.push_back(rowName("log", row) + "a stretch without a title is logged");
        }
        perTitle[std::string(log.text(row, LogColumn::WindowTitle))] += total;
        position = end;
    }
    const std::int64_t expected = log.rowCount() == 0 ? -1 : position;
    if (tracker.loggedSeconds() != expected) {
        faults.push_back("loggedSeconds is " + std::to_string(tracker.loggedSeconds()) + ", the log sums to " +
                         std::to_string(expected));
    }

    const ActivityTable& totals = tracker.totals();
    std::set<std::string, std::less<>> totalled;
    for (std::size_t row = 1; row <= totals.rowCount(); ++row) {
        const std::string_view title = totals.text(row, TotalsColumn::WindowTitle);
        const std::int64_t seconds = wholeNumber(totals.text(row, TotalsColumn::TotalSeconds));
        if (!totalled.emplace(title).second) {
            faults.push_back(rowName("totals", row) + "a second row for \"" + std::string(title) + "\"");
        }
        const auto logged = perTitle.find(title);
        const std::int64_t sum = logged == perTitle.end() ? -1 : logged->second;
        if (seconds != sum) {
            faults.push_back(rowName("totals", row) + std::to_string(seconds) + " s, its log rows sum to " +
                             std::to_string(sum));
        }
        if (totals.text(row, TotalsColumn::TotalTime) != formatTime(seconds)) {
            faults.push_back(rowName("totals", row) + "\"Total Time\" is not the duration text of " +
                             std::to_string(seconds));
        }
    }
    if (totalled.size() != perTitle.size()) {
        faults.push_back(std::to_string(perTitle.size()) + " titles are logged, " + std::to_string(totalled.size()) +
                         " have a totals row");
    }

    const ActivityTable& open = tracker.openStretches();
    std::set<WindowHandle> handles;
    std::size_t openStretches = 0;
    for (std::size_t row = 1; row <= open.rowCount(); ++row) {
        if (!handles.insert(handleFromText(open.text(row, OpenColumn::Handle))).second) {
            faults.push_back(rowName("open", row) + "a second row for window " +
                             std::string(open.text(row, OpenColumn::Handle)));
        }
        openStretches += open.text(row, OpenColumn::TimerEnd).empty() ? 1 : 0;
    }
    if (openStretches > 1) {
        faults.push_back(std::to_string(openStretches) + " stretches are open at once");
    }
    return faults;
}

std::vector<std::string> openRowsOfDeadWindows(const ActivityTracker& tracker, TestDesktop& desktop) {
    std::vector<std::string> dead;
    const ActivityTable& open = tracker.openStretches();
    for (std::size_t row = 1; row <= open.rowCount(); ++row) {
        const WindowHandle handle = handleFromText(open.text(row, OpenColumn::Handle));
        if (!desktop.exists(static_cast<std::uint32_t>(handle))) {
            dead.push_back(rowName("open", row) + "window " + std::to_string(handle) + " \"" +
                           std::string(open.text(row, OpenColumn::WindowTitle)) + "\" is gone");
        }
    }
    return dead;
}

} // namespace dwellmark::testing
