// The chart window on a private X server: its place, its chart of the totals, its legend and tips as drawn.
#include "centredwindow.h"
#include "qtgtest.h"
#include "tablecells.h"
#include "tracking/activitytables.h"
#include "ui/qt/chartwindow.h"

#include <QBarCategoryAxis>
#include <QBarSeries>
#include <QBarSet>
#include <QChart>
#include <QChartView>
#include <QGraphicsLayout>
#include <QGraphicsRectItem>
#include <QGraphicsTextItem>
#include <QRegularExpression>
#include <QToolTip>
#include <QValueAxis>
#include <algorithm>
#include <numeric>
#include <utility>
#include <vector>

using dwellmark::ActivityTable;
using dwellmark::testing::addTotal;
using dwellmark::ui::ChartWindow;
using dwellmark::ui::testing::showCentred;

namespace {

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

/// What the chart draws, in its coordinates: the legend's lines and the axes'
/// texts; the boxes of each legend line (square and text), axis text and the
/// plot area; and the bars, left to right.
struct Drawn {
    QStringList legend;
    QStringList axisTexts;
    QList<QRectF> boxes;
    QList<QRectF> bars;
};

Drawn drawn(const ChartWindow& form) {
    Drawn result;
    const QRectF plot = form.chart()->plotArea();
    for (const auto& line : form.legend().lines()) {
        result.legend << line.text->text();
        result.boxes << (line.text->sceneBoundingRect() | (line.marker ? line.marker->sceneBoundingRect() : QRectF()));
    }
    for (QGraphicsItem* item : form.chart()->scene()->items()) {
        const QRectF rect = item->sceneBoundingRect();
        if (!item->isVisible() || rect.isEmpty()) {
            continue;
        }
        if (const auto* text = qgraphicsitem_cast<QGraphicsTextItem*>(item); text && !text->toPlainText().isEmpty()) {
            result.axisTexts << text->toPlainText();
            result.boxes << rect;
        } else if (qgraphicsitem_cast<QGraphicsRectItem*>(item) && plot.adjusted(-1, -1, 1, 1).contains(rect)) {
            result.bars << rect;
        }
    }
    result.boxes << plot;
    std::sort(result.bars.begin(), result.bars.end(), [](const QRectF& a, const QRectF& b) { return a.x() < b.x(); });
    return result;
}

/// Fills the chart from totals of these titles and seconds, as the main window does.
void fill(ChartWindow& form, const std::vector<std::pair<std::string, std::string>>& rows) {
    ActivityTable totals = dwellmark::makeTotalsTable();
    for (const auto& [title, seconds] : rows) {
        addTotal(totals, "app", title, seconds);
    }
    form.fill(totals);
}

QValueAxis* valueAxis(const ChartWindow& form) {
    return qobject_cast<QValueAxis*>(form.chart()->axes(Qt::Vertical).first());
}

} // namespace

TEST(ChartWindow, Window) {
    ChartWindow form;
    EXPECT_EQ(form.windowTitle(), QStringLiteral("Chart"));
    EXPECT_EQ(form.size(), QSize(629, 577));
    EXPECT_EQ(form.minimumSize(), form.maximumSize());
    EXPECT_TRUE(form.isModal());
    const Qt::WindowFlags flags = form.windowFlags();
    EXPECT_TRUE(flags & Qt::WindowCloseButtonHint);
    EXPECT_FALSE(flags & Qt::WindowMinimizeButtonHint);
    EXPECT_FALSE(flags & Qt::WindowMaximizeButtonHint);
    EXPECT_EQ(form.chartView()->geometry(), QRect(-8, 0, 643, 581));
    EXPECT_EQ(form.chartView()->objectName(), QStringLiteral("chartView"));
    EXPECT_EQ(form.findChildren<QChartView*>().size(), 1);
}

TEST(ChartWindow, CentredOnTheScreen) {
    ChartWindow form;
    ASSERT_NO_FATAL_FAILURE(showCentred(form));
}

TEST(ChartWindow, OneRow) {
    ChartWindow form;
    fill(form, {{"Editor", "312"}});

    QBarSeries* series = form.barSeries();
    ASSERT_NE(series, nullptr);
    EXPECT_EQ(form.chart()->series().size(), 1);
    EXPECT_EQ(names(*series), QStringList{"Editor"});
    EXPECT_EQ(values(*series), QList<double>{312.0});
    EXPECT_TRUE(form.chart()->title().isEmpty());

    const auto xAxes = form.chart()->axes(Qt::Horizontal);
    const auto yAxes = form.chart()->axes(Qt::Vertical);
    ASSERT_EQ(xAxes.size(), 1);
    ASSERT_EQ(yAxes.size(), 1);
    auto* categories = qobject_cast<QBarCategoryAxis*>(xAxes.first());
    ASSERT_NE(categories, nullptr);
    EXPECT_EQ(categories->categories(), QStringList{"R1"});
    EXPECT_EQ(categories->titleText(), QStringLiteral("Process Time"));
    auto* valueAxis = qobject_cast<QValueAxis*>(yAxes.first());
    ASSERT_NE(valueAxis, nullptr);
    EXPECT_EQ(valueAxis->titleText(), QStringLiteral("Process"));
    EXPECT_LE(valueAxis->min(), 0.0);
    EXPECT_GE(valueAxis->max(), 312.0);
    // The legend has the series' names.
    EXPECT_EQ(drawn(form).legend, QStringList{"Editor"});
}

TEST(ChartWindow, SeveralRows) {
    ChartWindow form;
    fill(form, {{"Twenty characters ok", "0"},
                {"Twenty-one characters", "-42"},
                {"Not a number", "abc"},
                {"Leading number", "17 seconds"},
                {"", "5"},
                {"\xc3\xa9\xc3\xa9\xc3\xa9\xc3\xa9\xc3\xa9\xc3\xa9\xc3\xa9\xc3\xa9\xc3\xa9\xc3\xa9"
                 "\xc3\xa9\xc3\xa9\xc3\xa9\xc3\xa9\xc3\xa9\xc3\xa9\xc3\xa9\xc3\xa9\xc3\xa9\xf0\x9f\x98\x80"
                 "\xf0\x9f\x98\x80",
                 "100000"}});

    QBarSeries* series = form.barSeries();
    ASSERT_NE(series, nullptr);
    EXPECT_EQ(names(*series), (QStringList{"Twenty characters ok", "Twenty-one character", "Not a number",
                                           "Leading number", "", QStringLiteral(u"ééééééééééééééééééé😀")}));
    EXPECT_EQ(values(*series), (QList<double>{0.0, -42.0, 0.0, 17.0, 5.0, 100000.0}));
    EXPECT_EQ(drawn(form).legend, names(*series));
    // A bar below zero stands below the zero line of the value axis.
    EXPECT_LE(valueAxis(form)->min(), -42.0);
    EXPECT_GE(valueAxis(form)->max(), 100000.0);
}

TEST(ChartWindow, OnlyZeros) {
    ChartWindow form;
    fill(form, {{"Idle", "0"}});
    EXPECT_EQ(valueAxis(form)->min(), 0.0);
    EXPECT_GT(valueAxis(form)->max(), 0.0);
}

// From no title to 3,000: the legend names the bars that fit and counts
// the rest, nothing is drawn over anything else or outside the window, the
// value axis counts whole seconds, and a bar pointed at tells its title.
TEST(ChartWindow, LegendAxisAndTipsAsDrawn) {
    ChartWindow form;
    ASSERT_NO_FATAL_FAILURE(showCentred(form));
    // The chart runs past the window: only this part of it shows.
    const QRectF window(form.chartView()->mapToScene(form.chartView()->mapFrom(&form, QPoint(0, 0))),
                        QSizeF(form.size()));
    for (const int count : {0, 1, 30, 300, 3000}) {
        std::vector<std::pair<std::string, std::string>> rows;
        for (int i = 0; i < count; ++i) {
            rows.emplace_back("Window number " + std::to_string(i) + " of many", std::to_string(i % 2 + 1));
        }
        fill(form, rows);
        DWELLMARK_TRY_EXPECT_TRUE(form.chart()->layout()->isActivated());
        const Drawn shown = drawn(form);
        QStringList numbers = shown.axisTexts.filter(QRegularExpression(QStringLiteral("^[-0-9.]+$")));
        numbers.sort();
        EXPECT_EQ(numbers, count < 2 ? QStringList({"0", "1"}) : QStringList({"0", "1", "2"}));

        const qsizetype named = shown.legend.size() < count ? shown.legend.size() - 1 : shown.legend.size();
        EXPECT_EQ(shown.legend.mid(0, named), names(*form.barSeries()).mid(0, named));
        if (named < count) {
            EXPECT_EQ(shown.legend.last(), QStringLiteral("+ %1 more").arg(count - named));
            EXPECT_GE(named, 20);
        }
        for (qsizetype i = 0; i < shown.boxes.size(); ++i) {
            ASSERT_TRUE(window.contains(shown.boxes[i]));
            for (qsizetype j = i + 1; j < shown.boxes.size(); ++j) {
                ASSERT_FALSE(shown.boxes[i].intersects(shown.boxes[j]))
                    << count << " titles: " << i << " overlaps " << j;
            }
        }
        if (count >= 300) {
            // Crowded bars still show: the row of pixels just above the
            // zero line is coloured across the bars, not white outline.
            const QRectF group = std::accumulate(shown.bars.begin(), shown.bars.end(), QRectF(),
                                                 [](const QRectF& all, const QRectF& bar) { return all.united(bar); });
            const QImage picture = form.chartView()->grab().toImage();
            const QRect onScreen = form.chartView()->mapFromScene(group).boundingRect();
            int coloured = 0;
            for (int x = onScreen.left() + 1; x < onScreen.right(); ++x) {
                coloured += picture.pixelColor(x, onScreen.bottom() - 2).lightness() < 200 ? 1 : 0;
            }
            EXPECT_GT(coloured, onScreen.width() * 3 / 4) << count << " titles, " << onScreen.width() << " wide at "
                                                          << onScreen.left() << "," << onScreen.bottom();
        }
        if (count == 30) {
            ASSERT_EQ(shown.bars.size(), 30);
            for (int i = 0; i < count; ++i) {
                QTest::mouseMove(form.chartView()->viewport(), form.chartView()->mapFromScene(shown.bars[i].center()));
                DWELLMARK_TRY_ASSERT_EQ(QToolTip::text(),
                                        QStringLiteral("Window number %1 of many\n%2 s").arg(i).arg(i % 2 + 1));
            }
        }
    }
}

TEST(ChartWindow, RefillKeepsNothingOfBefore) {
    ChartWindow form;
    fill(form, {{"One", "1"}, {"Two", "2"}});
    fill(form, {{"Three", "3"}});
    EXPECT_EQ(form.chart()->series().size(), 1);
    EXPECT_EQ(names(*form.barSeries()), QStringList{"Three"});
    EXPECT_EQ(form.chart()->axes().size(), 2);
}
