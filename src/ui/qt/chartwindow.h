// The chart window "Chart": the totals as bars, with a legend that fits and a tip on every bar.
#pragma once

#include "barlegend.h"
#include "tracking/activitytable.h"
#include "ui/chartdata.h"

#include <QDialog>
#include <QMargins>
#include <vector>

QT_BEGIN_NAMESPACE
class QBarSeries;
class QBarSet;
class QChart;
class QChartView;
QT_END_NAMESPACE

namespace dwellmark::ui {

/// The chart window "Chart": the totals as a bar chart, one bar for each
/// title, taken once when the window is filled and not updated afterwards.
/// Each request makes a window of its own, so nothing of an earlier chart
/// carries over. The value axis runs in whole-second steps (ValueScale); the
/// legend names the bars that fit and counts the rest; a bar pointed at shows
/// its whole title and its seconds.
class ChartWindow final : public QDialog {
    Q_OBJECT

public:
    explicit ChartWindow(QWidget* parent = nullptr);

    /// Fills the chart from the totals table: one series per row, in the
    /// table's order, named by its title and valued by its total seconds.
    void fill(const ActivityTable& totals);

    QChartView* chartView() const { return m_chartView; }
    QChart* chart() const;
    /// The bars of the chart; nothing before the first fill.
    QBarSeries* barSeries() const { return m_series; }
    /// The legend as drawn.
    const BarLegend& legend() const { return m_legend; }

private:
    void barHovered(bool entered, QBarSet* set);

    QChartView* m_chartView;
    QBarSeries* m_series = nullptr;
    BarLegend m_legend;
    // What each bar stands for, in the bars' order.
    std::vector<ChartSeries> m_bars;
    // The chart's own margins, before the legend's strip is added at the right.
    QMargins m_margins;
};

} // namespace dwellmark::ui
