// The chart window "Chart": the totals as bars, with a legend that fits and a tip on every bar.
#include "chartwindow.h"

#include "ui/chartlegend.h"
#include "ui/layout.h"
#include "ui/texts.h"
#include "windowhelpers.h"

#include <QBarCategoryAxis>
#include <QBarSeries>
#include <QBarSet>
#include <QChart>
#include <QChartView>
#include <QCursor>
#include <QIcon>
#include <QPixmap>
#include <QToolTip>
#include <QValueAxis>
#include <algorithm>
#include <cmath>

namespace dwellmark::ui {

namespace {

// Bars narrower than this lose their outline.
constexpr qreal crowdedBarPixels = 4.0;
// The colours of the chart's theme (light) before it starts lightening them.
constexpr qsizetype themeColours = 5;

QIcon transparentIcon() {
    QPixmap pixmap(32, 32);
    pixmap.fill(Qt::transparent);
    return QIcon(pixmap);
}

} // namespace

ChartWindow::ChartWindow(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint),
      m_chartView(new QChartView(this)), m_legend(*m_chartView->chart()) {
    setObjectName(QStringLiteral("ChartWindow"));
    setWindowTitle(QString::fromUtf8(texts::chartWindowCaption));
    setWindowIcon(transparentIcon());
    setFixedSize(layout::chartWindowClient.width, layout::chartWindowClient.height);
    setModal(true);

    // The chart runs a little past the client area on the left, right and
    // bottom, so that its own border is cut off by the window.
    m_chartView->setObjectName(QStringLiteral("chartView"));
    m_chartView->setGeometry(layout::chartRect.left, layout::chartRect.top, layout::chartRect.width,
                             layout::chartRect.height);
    m_chartView->setRenderHint(QPainter::Antialiasing);
    // The window draws a legend of its own (BarLegend). Hidden before any bar
    // comes, Qt's costs nothing to lay out.
    m_chartView->chart()->legend()->setVisible(false);
    m_margins = m_chartView->chart()->margins();

    centerForm(*this);
}

QChart* ChartWindow::chart() const {
    return m_chartView->chart();
}

void ChartWindow::fill(const ActivityTable& totals) {
    QChart* chart = m_chartView->chart();
    chart->removeAllSeries();
    for (QAbstractAxis* axis : chart->axes()) {
        chart->removeAxis(axis);
        delete axis;
    }

    ChartData wanted = ChartData::fromTotals(totals);
    m_series = new QBarSeries;
    double low = 0.0;
    double high = 0.0;
    QList<QBarSet*> sets;
    sets.reserve(static_cast<qsizetype>(wanted.series.size()));
    for (const ChartSeries& series : wanted.series) {
        auto* set = new QBarSet(QString::fromStdString(series.name));
        set->append(series.value);
        sets.append(set);
        low = std::min(low, series.value);
        high = std::max(high, series.value);
    }
    m_series->append(sets);
    chart->addSeries(m_series);
    // The theme lightens each later round of its colours, until the bars of
    // a long list are white on white: every bar keeps a colour of the first.
    for (qsizetype i = themeColours; i < sets.size(); ++i) {
        sets[i]->setColor(sets[i % themeColours]->color());
    }
    connect(m_series, &QBarSeries::hovered, this,
            [this](bool entered, int, QBarSet* set) { barHovered(entered, set); });

    auto* categories = new QBarCategoryAxis;
    categories->append(QString::fromStdString(wanted.category));
    categories->setTitleText(QString::fromStdString(wanted.xAxisTitle));
    chart->addAxis(categories, Qt::AlignBottom);
    m_series->attachAxis(categories);

    // Whole-second steps from the rule that every front end shares.
    const ValueScale scale = ValueScale::forRange(low, high);
    auto* values = new QValueAxis;
    values->setTitleText(QString::fromStdString(wanted.yAxisTitle));
    values->setLabelFormat(QStringLiteral("%.10g"));
    values->setRange(scale.low, scale.high);
    values->setTickCount(static_cast<int>(std::lround((scale.high - scale.low) / scale.step)) + 1);
    chart->addAxis(values, Qt::AlignLeft);
    m_series->attachAxis(values);

    // The legend takes a strip at the right of the chart's area; the chart
    // lays out its axes and bars in what is left.
    m_bars = std::move(wanted.series);
    const QRectF area = QRectF(QPointF(0, 0), m_chartView->size()).marginsRemoved(m_margins.toMarginsF());
    const qreal legendWidth = m_legend.fill(sets, m_bars, area, wanted.leftOut);
    chart->setMargins(m_margins +
                      QMargins(0, 0, legendWidth > 0 ? static_cast<int>(legendWidth) + m_margins.right() : 0, 0));

    // Bars a few pixels wide would be all outline, and narrower ones hidden
    // under their neighbours' outlines: crowded bars are drawn without one.
    const qreal barPixels =
        (area.width() - legendWidth) * m_series->barWidth() / static_cast<qreal>(std::max<qsizetype>(sets.size(), 1));
    if (barPixels < crowdedBarPixels) {
        for (QBarSet* set : sets) {
            set->setPen(Qt::NoPen);
        }
    }
}

void ChartWindow::barHovered(bool entered, QBarSet* set) {
    const qsizetype index = m_series->barSets().indexOf(set);
    if (!entered || index < 0 || static_cast<std::size_t>(index) >= m_bars.size()) {
        QToolTip::hideText();
        return;
    }
    QToolTip::showText(QCursor::pos(), QString::fromStdString(barTip(m_bars[static_cast<std::size_t>(index)])),
                       m_chartView);
}

} // namespace dwellmark::ui
