// The legend's fit and the bars' tips.
#include "ui/chartlegend.h"

#include <algorithm>
#include <cstdio>

namespace dwellmark::ui {

LegendFit LegendFit::forEntries(std::size_t count, int height, int entryHeight, std::size_t leftOut) {
    if (entryHeight <= 0 || height < entryHeight) {
        return LegendFit{0, count + leftOut};
    }
    const auto lines = static_cast<std::size_t>(height / entryHeight);
    if (count + (leftOut > 0 ? 1 : 0) <= lines) {
        return LegendFit{count, leftOut};
    }
    // The last line that fits names the rest.
    const std::size_t shown = lines - 1;
    return LegendFit{shown, count - shown + leftOut};
}

std::string LegendFit::moreText() const {
    return more == 0 ? std::string() : "+ " + std::to_string(more) + " more";
}

std::string barTip(const ChartSeries& series) {
    char seconds[40];
    std::snprintf(seconds, sizeof seconds, "%.15g s", series.value);
    return (series.title.empty() ? series.name : series.title) + "\n" + seconds;
}

} // namespace dwellmark::ui
