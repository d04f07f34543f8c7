// The chart of the totals, and the scale of its value axis.
#include "ui/chartdata.h"

#include "tracking/activitytables.h"
#include "tracking/textforms.h"

#include <algorithm>
#include <cmath>

namespace dwellmark::ui {

ChartData ChartData::fromTotals(const ActivityTable& totals) {
    ChartData chart;
    const std::size_t count = std::min(totals.rowCount(), maxSeries);
    chart.series.reserve(count);
    chart.leftOut = totals.rowCount() - count;
    for (std::size_t row = 1; row <= count; ++row) {
        const std::string_view title = totals.text(row, TotalsColumn::WindowTitle);
        chart.series.push_back(
            {seriesName(title), leadingNumber(totals.text(row, TotalsColumn::TotalSeconds)), std::string(title)});
    }
    return chart;
}

std::string ChartData::seriesName(std::string_view title) {
    // A character starts at every byte that is not a continuation byte
    // (10xxxxxx), so a name never ends in part of a character.
    std::size_t characters = 0;
    for (std::size_t at = 0; at < title.size(); ++at) {
        if ((static_cast<unsigned char>(title[at]) & 0xC0U) != 0x80U) {
            if (characters == maxNameLength) {
                return std::string(title.substr(0, at));
            }
            ++characters;
        }
    }
    return std::string(title);
}

ValueScale ValueScale::forRange(double min, double max) {
    double low = std::min(min, 0.0);
    double high = std::max(max, 0.0);
    if (!(high > low)) {
        high = low + 1.0;
    }
    // About five steps of 1, 2 or 5 times a power of ten.
    const double rough = (high - low) / 5.0;
    const double power = std::pow(10.0, std::floor(std::log10(rough)));
    double step = power;
    for (const double factor : {1.0, 2.0, 5.0, 10.0}) {
        step = factor * power;
        if (step >= rough) {
            break;
        }
    }
    // Whole seconds: no step below one.
    step = std::max(step, 1.0);
    return ValueScale{std::floor(low / step) * step, std::ceil(high / step) * step, step};
}

} // namespace dwellmark::ui
