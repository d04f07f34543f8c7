// Where the chart window draws each part of its bar chart.
#pragma once

#include "ui/chartdata.h"

#include <cstdint>
#include <string>
#include <vector>

namespace dwellmark::ui::win32 {

/// The drawing plan of the bar chart in a chart area of a given size: what
/// goes where, in pixels from the area's top-left corner. Kept apart from the
/// drawing so that it can be checked without reading pixels back.
class ChartPicture final {
public:
    struct Box {
        int left = 0;
        int top = 0;
        int right = 0;
        int bottom = 0;
    };
    /// A bar and its legend entry.
    struct Bar {
        Box box;
        std::uint32_t colour = 0; // 0x00BBGGRR, as GDI's COLORREF
        std::string name;
        double value = 0.0;
        Box swatch;
        int legendX = 0;
        int legendY = 0;
    };
    /// A gridline of the value axis and its label.
    struct Gridline {
        int y = 0;
        std::string label;
    };

    /// The plan for the data in an area of width x height pixels; scale is
    /// the dots per inch divided by 96.
    ChartPicture(const ChartData& data, int width, int height, double scale = 1.0);

    const ChartData& data() const { return m_data; }
    const Box& plot() const { return m_plot; }
    int zeroY() const { return m_zeroY; }
    const ValueScale& valueScale() const { return m_scale; }
    const std::vector<Bar>& bars() const { return m_bars; }
    const std::vector<Gridline>& gridlines() const { return m_gridlines; }
    /// Where the category label sits (its centre, above the X axis title).
    int categoryX() const { return m_categoryX; }
    int categoryY() const { return m_categoryY; }
    /// The centre of the X axis title, and of the vertical Y axis title.
    int xTitleX() const { return m_xTitleX; }
    int xTitleY() const { return m_xTitleY; }
    int yTitleX() const { return m_yTitleX; }
    int yTitleY() const { return m_yTitleY; }

    /// The colour of the series with the given 0-based number.
    static std::uint32_t seriesColour(std::size_t series);
    /// A value as the value axis labels it ("-20", "1500").
    static std::string label(double value);

private:
    int yOf(double value) const;

    ChartData m_data;
    ValueScale m_scale;
    Box m_plot;
    int m_zeroY = 0;
    std::vector<Bar> m_bars;
    std::vector<Gridline> m_gridlines;
    int m_categoryX = 0;
    int m_categoryY = 0;
    int m_xTitleX = 0;
    int m_xTitleY = 0;
    int m_yTitleX = 0;
    int m_yTitleY = 0;
};

} // namespace dwellmark::ui::win32
