#pragma once

#include "tracking/activitytable.h"

#include <QDialog>

QT_BEGIN_NAMESPACE
class QBarSeries;
class QChart;
class QChartView;
QT_END_NAMESPACE

namespace dwellmark::ui {

/// The chart window "Chart": the totals as a bar chart, one bar for each
/// title, taken once when the window is filled and not updated afterwards.
/// Each request makes a window of its own, so nothing of an earlier chart
/// carries over.
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

private:
    QChartView* m_chartView;
    QBarSeries* m_series = nullptr;
};

} // namespace dwellmark::ui
