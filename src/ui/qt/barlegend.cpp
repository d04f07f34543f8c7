// The chart window's legend: the bars that fit, named top to bottom, and how many more there are.
#include "barlegend.h"

#include "ui/chartlegend.h"

#include <QBarSet>
#include <QBrush>
#include <QChart>
#include <QFontMetricsF>
#include <QGraphicsRectItem>
#include <QGraphicsSimpleTextItem>
#include <QLegend>
#include <QPen>
#include <algorithm>
#include <cmath>

namespace dwellmark::ui {

namespace {

// Above everything the chart draws of its own.
constexpr qreal legendZ = 100.0;
// Between a line's square and its text, in pixels.
constexpr qreal markerGap = 6.0;
// A long name takes at most this share of the area's width; the bar's tip has it whole.
constexpr qreal widestShare = 1.0 / 3.0;

} // namespace

BarLegend::BarLegend(QChart& chart) : m_chart(chart) {}

BarLegend::~BarLegend() {
    clear();
}

void BarLegend::clear() {
    for (const Line& line : m_lines) {
        delete line.marker;
        delete line.text;
    }
    m_lines.clear();
}

qreal BarLegend::fill(const QList<QBarSet*>& sets, const std::vector<ChartSeries>& bars, const QRectF& area,
                      std::size_t leftOut) {
    clear();
    const QFont font = m_chart.legend()->font();
    const QFontMetricsF metrics(font);
    const qreal lineHeight = std::ceil(metrics.height()) + 6.0;
    const qreal markerSide = std::round(metrics.height() * 0.55);
    const std::size_t count = std::min(bars.size(), static_cast<std::size_t>(sets.size()));
    const LegendFit fit =
        LegendFit::forEntries(count, static_cast<int>(area.height()), static_cast<int>(lineHeight), leftOut);

    // The texts first: the widest decides where the legend starts.
    std::vector<QString> texts;
    for (std::size_t i = 0; i < fit.shown; ++i) {
        texts.push_back(QString::fromStdString(bars[i].name));
    }
    if (fit.more > 0) {
        texts.push_back(QString::fromStdString(fit.moreText()));
    }
    const qreal widestText = area.width() * widestShare - markerSide - markerGap;
    qreal textWidth = 0.0;
    for (QString& text : texts) {
        text = metrics.elidedText(text, Qt::ElideRight, widestText);
        textWidth = std::max(textWidth, metrics.horizontalAdvance(text));
    }
    if (texts.empty()) {
        return 0.0;
    }
    const qreal width = std::ceil(markerSide + markerGap + textWidth);
    const qreal left = area.right() - width;
    qreal top = std::round(area.top() + (area.height() - lineHeight * static_cast<qreal>(texts.size())) / 2.0);

    for (std::size_t i = 0; i < texts.size(); ++i) {
        Line line;
        line.text = new QGraphicsSimpleTextItem(texts[i], &m_chart);
        line.text->setFont(font);
        line.text->setBrush(m_chart.legend()->labelColor());
        line.text->setPos(left + markerSide + markerGap, top + (lineHeight - metrics.height()) / 2.0);
        line.text->setZValue(legendZ);
        if (i < fit.shown) {
            const QBarSet& set = *sets[static_cast<qsizetype>(i)];
            line.marker =
                new QGraphicsRectItem(left, top + (lineHeight - markerSide) / 2.0, markerSide, markerSide, &m_chart);
            line.marker->setBrush(set.brush());
            line.marker->setPen(Qt::NoPen);
            line.marker->setZValue(legendZ);
            const QString tip = QString::fromStdString(barTip(bars[i]));
            line.text->setToolTip(tip);
            line.marker->setToolTip(tip);
        }
        m_lines.push_back(line);
        top += lineHeight;
    }
    return width;
}

} // namespace dwellmark::ui
