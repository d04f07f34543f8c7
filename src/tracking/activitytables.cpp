#include "activitytables.h"

namespace dwellmark {

ActivityTable makeUsageLog() {
    return ActivityTable(
        {{"Application", 85}, {"Window Title", 175}, {"Time Start", 0}, {"Time End", 0}, {"Time", 100}, {"Total", 45}});
}

ActivityTable makeOpenIntervalTable() {
    return ActivityTable(
        {{"Handle", 50}, {"Application", 50}, {"Window Title", 100}, {"Timer Start", 72}, {"Timer End", 72}});
}

ActivityTable makeTotalsTable() {
    return ActivityTable({{"Application", 100}, {"Window Title", 200}, {"Total Time", 75}, {"Total Seconds", 0}});
}

} // namespace dwellmark
