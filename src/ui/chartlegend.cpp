// The legend's fit and the bars' tips.
#include "ui/chartlegend.h"

#include <algorithm>
#include <cstdio>

namespace dwellmark::ui {

LegendFit LegendFit::forEntries(std::size_t count, int height, int entryHeight) {
    if (entryHeight <= 0 || height < entryHeight) {
        return LegendFit{0, count};
    }
    const auto lines = static_cast<std::size_t>(height / entryHeight);
    if (count <= lines) {
        return LegendFit{count, 0};
    }
    // The last line that fits names the rest.
    const std::size_t shown = lines - 1;
    return LegendFit{shown, count - shown};
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
