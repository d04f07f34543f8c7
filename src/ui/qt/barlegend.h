// The chart window's legend: the bars that fit, named top to bottom, and how many more there are.
#pragma once

#include "ui/chartdata.h"

#include <QList>
#include <QRectF>
#include <vector>

QT_BEGIN_NAMESPACE
class QBarSet;
class QChart;
class QGraphicsRectItem;
class QGraphicsSimpleTextItem;
QT_END_NAMESPACE

namespace dwellmark::ui {

/// The legend of the chart window, drawn on the chart at the right of a given
/// area: a line for each bar that fits (a square in the bar's colour and its
/// name), top to bottom in the bars' order, and, when some do not fit, a last
/// line that says how many more there are ("+ 270 more"). Qt Charts' own
/// legend names every bar however many there are, runs off its area, and takes
/// time that grows with the square of their number.
class BarLegend final {
public:
    /// One line as drawn: its square (none on the "+ N more" line) and its text.
    struct Line {
        QGraphicsRectItem* marker = nullptr;
        QGraphicsSimpleTextItem* text = nullptr;
    };

    /// Draws on the chart, in its legend font and colour.
    explicit BarLegend(QChart& chart);
    ~BarLegend();

    BarLegend(const BarLegend&) = delete;
    BarLegend& operator=(const BarLegend&) = delete;

    /// Draws the legend of the bars (sets[i] stands for bars[i]) at the right
    /// of area, in chart coordinates, centred from top to bottom, in place of
    /// what was drawn before; leftOut titles that have no bar are counted on
    /// its last line too. Returns the width it takes from the area.
    qreal fill(const QList<QBarSet*>& sets, const std::vector<ChartSeries>& bars, const QRectF& area,
               std::size_t leftOut);

    /// The lines as drawn, top to bottom.
    const std::vector<Line>& lines() const { return m_lines; }

private:
    void clear();

    QChart& m_chart;
    std::vector<Line> m_lines;
};

} // namespace dwellmark::ui
