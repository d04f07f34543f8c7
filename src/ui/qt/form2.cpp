#include "form2.h"

#include "mainmodule.h"
#include "tracking/activitytables.h"
#include "tracking/textforms.h"

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

Form2::Form2(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint),
      m_chartView(new QChartView(this)) {
    setObjectName(QStringLiteral("Form2"));
    setWindowTitle(QStringLiteral("Chart"));
    setWindowIcon(transparentIcon());
    setFixedSize(629, 577);
    setModal(true);

    // The chart runs a little past the client area on the left, right and
    // bottom, so that its own border is cut off by the window.
    m_chartView->setObjectName(QStringLiteral("MSChart1"));
    m_chartView->setGeometry(-8, 0, 643, 581);
    m_chartView->setRenderHint(QPainter::Antialiasing);
    m_chartView->chart()->legend()->setVisible(false);

    centerForm(*this);
}

QChart* Form2::chart() const {
    return m_chartView->chart();
}

QString Form2::seriesName(std::string_view title) {
    const QString whole = QString::fromUtf8(title.data(), static_cast<qsizetype>(title.size()));
    // Characters, not UTF-16 units: a name never ends in half a surrogate pair.
    const QList<uint> characters = whole.toUcs4();
    if (characters.size() <= maxNameLength) {
        return whole;
    }
    return QString::fromUcs4(reinterpret_cast<const char32_t*>(characters.constData()), maxNameLength);
}

void Form2::fill(const ActivityTable& totals) {
    QChart* chart = m_chartView->chart();
    chart->removeAllSeries();
    for (QAbstractAxis* axis : chart->axes()) {
        chart->removeAxis(axis);
        delete axis;
    }

    m_series = new QBarSeries;
    const std::size_t count = std::min(totals.rowCount(), maxSeries);
    double low = 0.0;
    double high = 0.0;
    for (std::size_t row = 1; row <= count; ++row) {
        const double value = leadingNumber(totals.text(row, TotalsColumn::TotalSeconds));
        auto* set = new QBarSet(seriesName(totals.text(row, TotalsColumn::WindowTitle)));
        set->append(value);
        m_series->append(set);
        low = std::min(low, value);
        high = std::max(high, value);
    }
    chart->addSeries(m_series);

    auto* categories = new QBarCategoryAxis;
    categories->append(QStringLiteral("R1"));
    categories->setTitleText(QStringLiteral("Process Time"));
    chart->addAxis(categories, Qt::AlignBottom);
    m_series->attachAxis(categories);

    auto* values = new QValueAxis;
    values->setTitleText(QStringLiteral("Process"));
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
