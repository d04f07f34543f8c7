#include "chartwindow.h"

#include "windowhelpers.h"
#include "ui/chartdata.h"
#include "ui/layout.h"
#include "ui/texts.h"

#include <QBarCategoryAxis>
#include <QBarSeries>
#include <QBarSet>
#include <QChart>
#include <QChartView>
#include <QIcon>
#include <QPixmap>
#include <QValueAxis>
#include <algorithm>

namespace dwellmark::ui {

namespace {

QIcon transparentIcon() {
    QPixmap pixmap(32, 32);
    pixmap.fill(Qt::transparent);
    return QIcon(pixmap);
}

} // namespace

ChartWindow::ChartWindow(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint),
      m_chartView(new QChartView(this)) {
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
    m_chartView->chart()->legend()->setVisible(false);

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

    const ChartData wanted = ChartData::fromTotals(totals);
    m_series = new QBarSeries;
    double low = 0.0;
    double high = 0.0;
    for (const ChartSeries& series : wanted.series) {
        auto* set = new QBarSet(QString::fromStdString(series.name));
        set->append(series.value);
        m_series->append(set);
        low = std::min(low, series.value);
        high = std::max(high, series.value);
    }
    chart->addSeries(m_series);

    auto* categories = new QBarCategoryAxis;
    categories->append(QString::fromStdString(wanted.category));
    categories->setTitleText(QString::fromStdString(wanted.xAxisTitle));
    chart->addAxis(categories, Qt::AlignBottom);
    m_series->attachAxis(categories);

    auto* values = new QValueAxis;
    values->setTitleText(QString::fromStdString(wanted.yAxisTitle));
    // Whole seconds as whole numbers; the fine steps of a tiny range still show.
    values->setLabelFormat(QStringLiteral("%.10g"));
    values->setRange(low, high > low ? high : low + 1.0);
    values->applyNiceNumbers();
    chart->addAxis(values, Qt::AlignLeft);
    m_series->attachAxis(values);

    chart->legend()->setVisible(true);
    chart->legend()->setAlignment(Qt::AlignRight);
}

} // namespace dwellmark::ui
