// Where the chart window draws each part of its bar chart.
#pragma once

#include "ui/chartdata.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace dwellmark::ui::win32 {

/// The drawing plan of the bar chart in a chart area of a given size: what
/// goes where, in pixels from the area's top-left corner. Kept apart from the
/// drawing so that it can be checked without reading pixels back. Every text
/// has a box that it is drawn into and cut to, and no two parts share a
/// pixel, however many bars there are.
class ChartPicture final {
public:
    /// A rectangle; right and bottom are just outside it, as in GDI.
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
        /// Whether the bar is drawn: false when it shares its pixel column
        /// with a taller bar, which is drawn there instead.
        bool drawn = true;
        /// Whether the legend has an entry for it; the swatch and the text
        /// box are empty when not.
        bool inLegend = false;
        Box swatch;
        /// Where the entry's text starts, and the box it is cut to.
        int legendX = 0;
        int legendY = 0;
        Box legendText;
    };
    /// A gridline of the value axis and its label.
    struct Gridline {
        int y = 0;
        std::string label;
        Box labelBox;
    };

    /// The plan for the data in an area of width x height pixels; scale is
    /// the dots per inch divided by 96.
    ChartPicture(const ChartData& data, int width, int height, double scale = 1.0);

    const ChartData& data() const { return m_data; }
    /// The whole chart area.
    Box area() const { return Box{0, 0, m_width, m_height}; }
    const Box& plot() const { return m_plot; }
    int zeroY() const { return m_zeroY; }
    const ValueScale& valueScale() const { return m_scale; }
    const std::vector<Bar>& bars() const { return m_bars; }
    const std::vector<Gridline>& gridlines() const { return m_gridlines; }
    /// The legend's last line when some bars have no entry ("+ 270 more"),
    /// and its box; both empty when every bar has one.
    const std::string& moreText() const { return m_moreText; }
    const Box& moreBox() const { return m_moreBox; }
    /// Where the category label sits (its centre, above the X axis title).
    int categoryX() const { return m_categoryX; }
    int categoryY() const { return m_categoryY; }
    /// The centre of the X axis title, and of the vertical Y axis title.
    int xTitleX() const { return m_xTitleX; }
    int xTitleY() const { return m_xTitleY; }
    int yTitleX() const { return m_yTitleX; }
    int yTitleY() const { return m_yTitleY; }
    /// The boxes the category label and the axis titles are cut to.
    const Box& categoryBox() const { return m_categoryBox; }
    const Box& xTitleBox() const { return m_xTitleBox; }
    const Box& yTitleBox() const { return m_yTitleBox; }

    /// The bars (0-based, in the chart's order) whose pixel column holds the
    /// point, anywhere between the plot's top and bottom, so that a short bar,
    /// or one of 0 seconds, can be pointed at too; empty elsewhere. More than
    /// one only where bars share a column.
    std::vector<std::size_t> barsAt(int x, int y) const;
    /// What the chart says of the point: the tip of each bar there (its whole
    /// title and seconds), in the chart's order, at most maxTipBars of them
    /// and then how many more; empty where there is no bar.
    std::string tipAt(int x, int y) const;
    static constexpr std::size_t maxTipBars = 16;

    /// The colour of the series with the given 0-based number.
    static std::uint32_t seriesColour(std::size_t series);
    /// A value as the value axis labels it ("-20", "1500").
    static std::string label(double value);

private:
    int yOf(double value) const;
    void placeBars();
    void placeLegend(double scale);

    ChartData m_data;
    int m_width = 0;
    int m_height = 0;
    ValueScale m_scale;
    Box m_plot;
    int m_zeroY = 0;
    std::vector<Bar> m_bars;
    std::vector<Gridline> m_gridlines;
    std::string m_moreText;
    Box m_moreBox;
    int m_categoryX = 0;
    int m_categoryY = 0;
    int m_xTitleX = 0;
    int m_xTitleY = 0;
    int m_yTitleX = 0;
    int m_yTitleY = 0;
    Box m_categoryBox;
    Box m_xTitleBox;
    Box m_yTitleBox;
};

} // namespace dwellmark::ui::win32
