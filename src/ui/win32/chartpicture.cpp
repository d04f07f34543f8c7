// The drawing plan of the bar chart.
#include "ui/win32/chartpicture.h"

#include "ui/chartlegend.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>

namespace dwellmark::ui::win32 {

namespace {

int px(double pixels, double scale) {
    return static_cast<int>(std::lround(pixels * scale));
}

int heightOf(const ChartPicture::Box& box) {
    return box.bottom - box.top;
}

} // namespace

ChartPicture::ChartPicture(const ChartData& data, int width, int height, double scale)
    : m_data(data), m_width(width), m_height(height) {
    double low = 0.0;
    double high = 0.0;
    for (const ChartSeries& series : m_data.series) {
        low = std::min(low, series.value);
        high = std::max(high, series.value);
    }
    m_scale = ValueScale::forRange(low, high);

    // Room for the Y axis title and labels on the left, the legend on the
    // right, the category label and the X axis title below. The chart's own
    // frame runs 8 pixels past the window's left edge.
    const int legendWidth = px(170, scale);
    m_plot = Box{px(8 + 80, scale), px(24, scale), width - legendWidth - px(16, scale), height - px(64, scale)};
    m_zeroY = yOf(0.0);

    for (double value = m_scale.low; value <= m_scale.high + m_scale.step / 2; value += m_scale.step) {
        const int y = yOf(value);
        m_gridlines.push_back(Gridline{
            y, label(value), Box{px(8 + 22, scale), y - px(7, scale), m_plot.left - px(6, scale), y + px(8, scale)}});
    }

    placeBars();
    placeLegend(scale);

    const int plotWidth = m_plot.right - m_plot.left;
    m_categoryX = m_plot.left + plotWidth / 2;
    m_categoryY = m_plot.bottom + px(6, scale);
    m_categoryBox =
        Box{m_categoryX - px(40, scale), m_categoryY, m_categoryX + px(40, scale), m_categoryY + px(16, scale)};
    m_xTitleX = m_categoryX;
    m_xTitleY = m_plot.bottom + px(30, scale);
    m_xTitleBox = Box{m_plot.left, m_xTitleY, m_plot.right, m_xTitleY + px(18, scale)};
    // The vertical title's baseline runs down x; its letters stand left of it.
    m_yTitleX = px(8 + 14, scale);
    m_yTitleY = (m_plot.top + m_plot.bottom) / 2;
    m_yTitleBox = Box{px(8, scale), m_plot.top, px(8 + 20, scale), m_plot.bottom};
}

void ChartPicture::placeBars() {
    const std::size_t count = m_data.series.size();
    if (count == 0) {
        return;
    }
    const int plotWidth = m_plot.right - m_plot.left;
    // The single category holds the bars side by side in 80 % of its width.
    const int groupWidth = plotWidth * 4 / 5;
    // With more bars than pixels, bars next to each other share a pixel
    // column (in the chart's order, evenly), and each column draws only the
    // tallest of its bars: a crowded chart still shows where the large totals
    // are, and never spills past the plot.
    const bool crowded = count > static_cast<std::size_t>(std::max(groupWidth, 1));
    const int barWidth = crowded ? 1 : std::max(1, groupWidth / static_cast<int>(count));
    const int columns = crowded ? groupWidth : static_cast<int>(count);
    const int groupLeft = m_plot.left + (plotWidth - barWidth * columns) / 2;
    std::size_t drawnInColumn = 0;
    int lastColumn = -1;
    m_bars.reserve(count);
    for (std::size_t i = 0; i < count; ++i) {
        const ChartSeries& series = m_data.series[i];
        const int column =
            crowded ? static_cast<int>(static_cast<long long>(i) * groupWidth / static_cast<long long>(count))
                    : static_cast<int>(i);
        Bar bar;
        const int left = groupLeft + barWidth * column;
        const int valueY = yOf(series.value);
        bar.box = Box{left, std::min(valueY, m_zeroY), left + barWidth, std::max(valueY, m_zeroY)};
        bar.colour = seriesColour(i);
        bar.name = series.name;
        bar.value = series.value;
        if (column == lastColumn) {
            Bar& drawn = m_bars[drawnInColumn];
            if (heightOf(bar.box) > heightOf(drawn.box)) {
                drawn.drawn = false;
                drawnInColumn = i;
            } else {
                bar.drawn = false;
            }
        } else {
            drawnInColumn = i;
            lastColumn = column;
        }
        m_bars.push_back(std::move(bar));
    }
}

void ChartPicture::placeLegend(double scale) {
    // The legend runs down beside the plot, as high as it is; entries that do
    // not fit are counted on its last line instead.
    const int entryHeight = px(18, scale);
    const int legendLeft = m_plot.right + px(16, scale);
    const int legendRight = m_width - px(14, scale);
    const LegendFit fit = LegendFit::forEntries(m_bars.size(), m_plot.bottom - m_plot.top, entryHeight, m_data.leftOut);
    for (std::size_t i = 0; i < fit.shown; ++i) {
        Bar& bar = m_bars[i];
        const int entryTop = m_plot.top + entryHeight * static_cast<int>(i);
        bar.inLegend = true;
        bar.swatch = Box{legendLeft, entryTop + px(3, scale), legendLeft + px(12, scale), entryTop + px(15, scale)};
        bar.legendX = legendLeft + px(18, scale);
        bar.legendY = entryTop;
        bar.legendText = Box{bar.legendX, entryTop, legendRight, entryTop + entryHeight};
    }
    m_moreText = fit.moreText();
    if (!m_moreText.empty()) {
        const int top = m_plot.top + entryHeight * static_cast<int>(fit.shown);
        m_moreBox = Box{legendLeft, top, legendRight, top + entryHeight};
    }
}

std::vector<std::size_t> ChartPicture::barsAt(int x, int y) const {
    std::vector<std::size_t> found;
    if (y < m_plot.top || y > m_plot.bottom) {
        return found;
    }
    // The bars lie left to right in the chart's order.
    auto at = std::partition_point(m_bars.begin(), m_bars.end(), [x](const Bar& bar) { return bar.box.right <= x; });
    for (; at != m_bars.end() && at->box.left <= x; ++at) {
        found.push_back(static_cast<std::size_t>(at - m_bars.begin()));
    }
    return found;
}

std::string ChartPicture::tipAt(int x, int y) const {
    const std::vector<std::size_t> bars = barsAt(x, y);
    std::string tip;
    const std::size_t named = std::min(bars.size(), maxTipBars);
    for (std::size_t i = 0; i < named; ++i) {
        if (i > 0) {
            tip += '\n';
        }
        tip += barTip(m_data.series[bars[i]]);
    }
    const LegendFit rest{named, bars.size() - named};
    if (rest.more > 0) {
        tip += '\n';
        tip += rest.moreText();
    }
    return tip;
}

int ChartPicture::yOf(double value) const {
    const double span = m_scale.high - m_scale.low;
    const double fraction = (value - m_scale.low) / span;
    return m_plot.bottom - static_cast<int>(std::lround(fraction * (m_plot.bottom - m_plot.top)));
}

std::uint32_t ChartPicture::seriesColour(std::size_t series) {
    static constexpr std::array<std::uint32_t, 12> palette{0x00B47C1FU, 0x000E7FFFU, 0x002CA02CU, 0x002827D6U,
                                                           0x00BD6794U, 0x004B568CU, 0x00C277E3U, 0x007F7F7FU,
                                                           0x0022BDBCU, 0x00CFBE17U, 0x0000008BU, 0x00008B00U};
    return palette[series % palette.size()];
}

std::string ChartPicture::label(double value) {
    char text[32];
    std::snprintf(text, sizeof text, "%.15g", value);
    return text;
}

} // namespace dwellmark::ui::win32
