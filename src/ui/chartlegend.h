// How much of the chart's legend fits, and what a bar says when pointed at;
// shared by every front end.
#pragma once

#include "ui/chartdata.h"

#include <cstddef>
#include <string>

namespace dwellmark::ui {

/// The legend entries that fit into a legend of a given height. When every
/// entry fits, all are shown. Otherwise the first ones are shown and the last
/// line that fits says how many are left out ("+ 270 more").
struct LegendFit {
    /// The first `shown` series have an entry, in the chart's order.
    std::size_t shown = 0;
    /// The series after them, which have none.
    std::size_t more = 0;

    /// The legend of count entries, each entryHeight pixels high, in height
    /// pixels; leftOut titles that have no bar at all are counted in `more` too.
    static LegendFit forEntries(std::size_t count, int height, int entryHeight, std::size_t leftOut = 0);

    /// The line that ends a legend with entries left out ("+ 270 more");
    /// empty when every entry is shown.
    std::string moreText() const;
};

/// What a bar says when the pointer rests on it: its whole window title (the
/// legend cuts it) and its seconds, on two lines.
std::string barTip(const ChartSeries& series);

} // namespace dwellmark::ui
