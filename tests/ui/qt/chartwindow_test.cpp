// The chart window on a private X server: its place, its chart of the totals.
#include "centredwindow.h"
#include "tracking/activitytables.h"
#include "ui/qt/chartwindow.h"

#include <QBarCategoryAxis>
#include <QBarSeries>
#include <QBarSet>
#include <QChart>
#include <QChartView>
#include <QLegend>
#include <QLegendMarker>
#include <QValueAxis>
#include <QtTest>

using dwellmark::ActivityTable;
using dwellmark::TotalsColumn;
using dwellmark::ui::ChartWindow;
using dwellmark::ui::testing::showCentred;

namespace {

void addTotal(ActivityTable& totals, const std::string& title, const std::string& seconds) {
    const std::size_t row = totals.addRow("app");
    totals.setText(row, TotalsColumn::WindowTitle, title);
    totals.setText(row, TotalsColumn::TotalTime, "--");
    totals.setText(row, TotalsColumn::TotalSeconds, seconds);
}

QStringList names(const QBarSeries& series) {
    QStringList result;
    for (const QBarSet* set : series.barSets()) {
        result << set->label();
    }
    return result;
}

QList<double> values(const QBarSeries& series) {
    QList<double> result;
    for (const QBarSet* set : series.barSets()) {
        if (set->count() != 1) {
            return {};
        }
        result << set->at(0);
    }
    return result;
}

} // namespace

class ChartWindowTest final : public QObject {
    Q_OBJECT

private slots:
    void window() {
        ChartWindow form;
        QCOMPARE(form.windowTitle(), QStringLiteral("Chart"));
        QCOMPARE(form.size(), QSize(629, 577));
        QCOMPARE(form.minimumSize(), form.maximumSize());
        QVERIFY(form.isModal());
        const Qt::WindowFlags flags = form.windowFlags();
        QVERIFY(flags & Qt::WindowCloseButtonHint);
        QVERIFY(!(flags & Qt::WindowMinimizeButtonHint));
        QVERIFY(!(flags & Qt::WindowMaximizeButtonHint));
        QCOMPARE(form.chartView()->geometry(), QRect(-8, 0, 643, 581));
        QCOMPARE(form.chartView()->objectName(), QStringLiteral("chartView"));
        QCOMPARE(form.findChildren<QChartView*>().size(), 1);
    }

    void centredOnTheScreen() {
        ChartWindow form;
        showCentred(form);
    }

    void oneRow() {
        ActivityTable totals = dwellmark::makeTotalsTable();
        addTotal(totals, "Editor", "312");
        ChartWindow form;
        form.fill(totals);

        QBarSeries* series = form.barSeries();
        QVERIFY(series != nullptr);
        QCOMPARE(form.chart()->series().size(), 1);
        QCOMPARE(names(*series), QStringList{"Editor"});
        QCOMPARE(values(*series), QList<double>{312.0});
        QVERIFY(form.chart()->legend()->isVisible());
        QVERIFY(form.chart()->title().isEmpty());

        const auto xAxes = form.chart()->axes(Qt::Horizontal);
        const auto yAxes = form.chart()->axes(Qt::Vertical);
        QCOMPARE(xAxes.size(), 1);
        QCOMPARE(yAxes.size(), 1);
        auto* categories = qobject_cast<QBarCategoryAxis*>(xAxes.first());
        QVERIFY(categories != nullptr);
        QCOMPARE(categories->categories(), QStringList{"R1"});
        QCOMPARE(categories->titleText(), QStringLiteral("Process Time"));
        auto* valueAxis = qobject_cast<QValueAxis*>(yAxes.first());
        QVERIFY(valueAxis != nullptr);
        QCOMPARE(valueAxis->titleText(), QStringLiteral("Process"));
        QVERIFY(valueAxis->min() <= 0.0);
        QVERIFY(valueAxis->max() >= 312.0);
        // The legend has the series' names.
        const auto markers = form.chart()->legend()->markers(series);
        QCOMPARE(markers.size(), 1);
        QCOMPARE(markers.first()->label(), QStringLiteral("Editor"));
    }

    void severalRows() {
        ActivityTable totals = dwellmark::makeTotalsTable();
        addTotal(totals, "Twenty characters ok", "0");
        addTotal(totals, "Twenty-one characters", "-42");
        addTotal(totals, "Not a number", "abc");
        addTotal(totals, "Leading number", "17 seconds");
        addTotal(totals, "", "5");
        addTotal(totals,
                 "\xc3\xa9\xc3\xa9\xc3\xa9\xc3\xa9\xc3\xa9\xc3\xa9\xc3\xa9\xc3\xa9\xc3\xa9\xc3\xa9"
                 "\xc3\xa9\xc3\xa9\xc3\xa9\xc3\xa9\xc3\xa9\xc3\xa9\xc3\xa9\xc3\xa9\xc3\xa9\xf0\x9f\x98\x80"
                 "\xf0\x9f\x98\x80",
                 "100000");
        ChartWindow form;
        form.fill(totals);

        QBarSeries* series = form.barSeries();
        QVERIFY(series != nullptr);
        QCOMPARE(names(*series), (QStringList{"Twenty characters ok", "Twenty-one character", "Not a number",
                                              "Leading number", "", QStringLiteral(u"ééééééééééééééééééé😀")}));
        QCOMPARE(values(*series), (QList<double>{0.0, -42.0, 0.0, 17.0, 5.0, 100000.0}));
        QCOMPARE(form.chart()->legend()->markers(series).size(), 6);
        // A bar below zero stands below the zero line of the value axis.
        auto* valueAxis = qobject_cast<QValueAxis*>(form.chart()->axes(Qt::Vertical).first());
        QVERIFY(valueAxis->min() <= -42.0);
        QVERIFY(valueAxis->max() >= 100000.0);
    }

    void onlyZeros() {
        ActivityTable totals = dwellmark::makeTotalsTable();
        addTotal(totals, "Idle", "0");
        ChartWindow form;
        form.fill(totals);
        auto* valueAxis = qobject_cast<QValueAxis*>(form.chart()->axes(Qt::Vertical).first());
        QCOMPARE(valueAxis->min(), 0.0);
        QVERIFY(valueAxis->max() > 0.0);
    }

    void refillKeepsNothingOfBefore() {
        ActivityTable first = dwellmark::makeTotalsTable();
        addTotal(first, "One", "1");
        addTotal(first, "Two", "2");
        ActivityTable second = dwellmark::makeTotalsTable();
        addTotal(second, "Three", "3");
        ChartWindow form;
        form.fill(first);
        form.fill(second);
        QCOMPARE(form.chart()->series().size(), 1);
        QCOMPARE(names(*form.barSeries()), QStringList{"Three"});
        QCOMPARE(form.chart()->axes().size(), 2);
    }
};

QTEST_MAIN(ChartWindowTest)
#include "chartwindow_test.moc"
