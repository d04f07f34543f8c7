#pragma once

#include <string>
#include <vector>

namespace dwellmark {
class ActivityTracker;
}

namespace dwellmark::testing {

class TestDesktop;

/// What is wrong with the tracker's tables, one line each; empty when they
/// agree: loggedSeconds is the sum of the "Total" cells and each log row
/// starts where the one before ended; each "Time" and "Total Time" is the
/// duration text of its numbers; each totals row is the sum of its title's log
/// rows and every logged title has one; at most one stretch is open, and no
/// window has two rows.
std::vector<std::string> trackerFaults(const ActivityTracker& tracker);

/// The open-interval rows that name windows the X server no longer has.
std::vector<std::string> openRowsOfDeadWindows(const ActivityTracker& tracker, TestDesktop& desktop);

} // namespace dwellmark::testing
