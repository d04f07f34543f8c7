// What the chart window shows, taken from the totals table; shared by every front end.
#pragma once

#include "tracking/activitytable.h"

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace dwellmark::ui {

/// One bar of the chart: its name (the window title cut short), its seconds
/// and the whole title it stands for.
struct ChartSeries {
    std::string name;
    double value = 0.0;
    std::string title;
};

/// The chart of the totals: one category, one series per totals row in the
/// table's order, and the titles of the axes.
struct ChartData {
    /// A chart names this many bars at most; the rows after it are left out.
    static constexpr std::size_t maxSeries = 32767;
    /// A series name keeps this many characters of the window title.
    static constexpr std::size_t maxNameLength = 20;

    std::string category = "R1";
    std::string xAxisTitle = "Process Time";
    std::string yAxisTitle = "Process";
    std::vector<ChartSeries> series;
    /// The totals rows after the last bar, which the chart leaves out.
    std::size_t leftOut = 0;

    /// The chart of the totals table as it is now: each row's value read from
    /// the start of its "Total Seconds" text, its name from its title.
    static ChartData fromTotals(const ActivityTable& totals);

    /// The name a title gets in the chart: its first 20 characters (not bytes)
    /// of UTF-8.
    static std::string seriesName(std::string_view title);
};

/// A value axis scaled to the values: from low to high in steps of step, each
/// a round number, with 0 inside.
struct ValueScale {
    double low = 0.0;
    double high = 1.0;
    double step = 1.0;

    /// The scale for values from min to max (the zero line is always included).
    static ValueScale forRange(double min, double max);
};

} // namespace dwellmark::ui
