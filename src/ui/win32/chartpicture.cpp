// The drawing plan of the bar chart.
#include "ui/win32/chartpicture.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>

namespace dwellmark::ui::win32 {

namespace {

int px(double pixels, double scale) {
    return static_cast<int>(std::lround(pixels * scale));
}

} // namespace

ChartPicture::ChartPicture(const ChartData& data, int width, int height, double scale) : m_data(data) {
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
        m_gridlines.push_back(Gridline{yOf(value), label(value)});
    }

    const std::size_t count = m_data.series.size();
    const int plotWidth = m_plot.right - m_plot.left;
    // The single category holds the bars side by side in 80 % of its width.
    const int groupWidth = plotWidth * 4 / 5;
    const int barWidth = count == 0 ? 0 : std::max(1, groupWidth / static_cast<int>(count));
    const int groupLeft = m_plot.left + (plotWidth - barWidth * static_cast<int>(count)) / 2;
    const int entryHeight = px(18, scale);
    const int legendLeft = m_plot.right + px(16, scale);
    for (std::size_t i = 0; i < count; ++i) {
        const ChartSeries& series = m_data.series[i];
        Bar bar;
        const int left = groupLeft + barWidth * static_cast<int>(i);
        const int valueY = yOf(series.value);
        bar.box = Box{left, std::min(valueY, m_zeroY), left + barWidth, std::max(valueY, m_zeroY)};
        bar.colour = seriesColour(i);
        bar.name = series.name;
        bar.value = series.value;
        const int entryTop = m_plot.top + entryHeight * static_cast<int>(i);
        bar.swatch = Box{legendLeft, entryTop + px(3, scale), legendLeft + px(12, scale), entryTop + px(15, scale)};
        bar.legendX = legendLeft + px(18, scale);
        bar.legendY = entryTop;
        m_bars.push_back(std::move(bar));
    }

    m_categoryX = m_plot.left + plotWidth / 2;
    m_categoryY = m_plot.bottom + px(6, scale);
    m_xTitleX = m_categoryX;
    m_xTitleY = m_plot.bottom + px(30, scale);
    m_yTitleX = px(8 + 14, scale);
    m_yTitleY = (m_plot.top + m_plot.bottom) / 2;
}

int ChartPicture::yOf(double value) const {
    const double span = m_scale.high - m_scale.low;
    const double fraction = (value - m_scale.low) / span;
    return m_plot.bottom - static_cast<int>(std::lround(fraction * (m_plot.bottom - m_plot.top)));
}

std::uint32_t ChartPicture::seriesColour(std::size_t series) {
    static constexpr std::array<std::uint32_t, 12> palette{
        0x00B47C1FU, 0x000E7FFFU, 0x002CA02CU, 0x002827D6U, 0x00BD6794U, 0x004B568CU,
        0x00C277E3U, 0x007F7F7FU, 0x0022BDBCU, 0x00CFBE17U, 0x0000008BU, 0x00008B00U};
    return palette[series % palette.size()];
}

std::string ChartPicture::label(double value) {
    char text[32];
    std::snprintf(text, sizeof text, "%.15g", value);
    return text;
}

} // namespace dwellmark::ui::win32
