#pragma once

#include "activitytable.h"

namespace dwellmark {

/// Columns of the usage log `usageLog`: one row per logged stretch.
enum class LogColumn : std::size_t { Application = 0, WindowTitle, TimeStart, TimeEnd, Time, Total };

/// Columns of the open-interval table `openStretches`: one row per window that has
/// held the foreground and still exists.
enum class OpenColumn : std::size_t { Handle = 0, Application, WindowTitle, TimerStart, TimerEnd };

/// Columns of the totals table `totals`: one row per distinct window title.
enum class TotalsColumn : std::size_t { Application = 0, WindowTitle, TotalTime, TotalSeconds };

ActivityTable makeUsageLog();
ActivityTable makeOpenIntervalTable();
ActivityTable makeTotalsTable();

} // namespace dwellmark
