// The chart's data taken from the totals, and the scale of its value axis.
#include "tablecells.h"
#include "tracking/activitytables.h"
#include "ui/chartdata.h"
#include "ui/chartlegend.h"

#include <algorithm>
#include <cmath>
#include <gtest/gtest.h>
#include <string>

using dwellmark::ActivityTable;
using dwellmark::testing::addTotal;
using dwellmark::ui::ChartData;
using dwellmark::ui::ValueScale;

TEST(ChartData, EmptyTotalsGiveNoSeriesButTheFixedTexts) {
    const ActivityTable totals = dwellmark::makeTotalsTable();
    const ChartData chart = ChartData::fromTotals(totals);
    EXPECT_TRUE(chart.series.empty());
    EXPECT_EQ(chart.category, "R1");
    EXPECT_EQ(chart.xAxisTitle, "Process Time");
    EXPECT_EQ(chart.yAxisTitle, "Process");
}

TEST(ChartData, OneSeriesPerRowInTheTablesOrderValuedByTotalSeconds) {
    ActivityTable totals = dwellmark::makeTotalsTable();
    addTotal(totals, "b.exe", "Second window", "12");
    addTotal(totals, "a.exe", "First window", "-5");
    addTotal(totals, "c.exe", "Zero", "0");
    addTotal(totals, "d.exe", "Not a number", "abc");
    addTotal(totals, "e.exe", "Fraction", "2.5e1 s");
    const ChartData chart = ChartData::fromTotals(totals);
    ASSERT_EQ(chart.series.size(), 5U);
    EXPECT_EQ(chart.series[0].name, "Second window");
    EXPECT_EQ(chart.series[0].value, 12.0);
    EXPECT_EQ(chart.series[1].name, "First window");
    EXPECT_EQ(chart.series[1].value, -5.0);
    EXPECT_EQ(chart.series[2].value, 0.0);
    EXPECT_EQ(chart.series[3].value, 0.0);
    EXPECT_EQ(chart.series[4].value, 25.0);
}

TEST(ChartData, NamesKeepTwentyCharactersNotBytes) {
    EXPECT_EQ(ChartData::seriesName("12345678901234567890"), "12345678901234567890");
    EXPECT_EQ(ChartData::seriesName("123456789012345678901"), "12345678901234567890");
    EXPECT_EQ(ChartData::seriesName(""), "");
    // 21 Cyrillic letters of two bytes each, and CJK of three bytes each.
    const std::string cyrillic = "ПриветПриветПриветПри";
    EXPECT_EQ(ChartData::seriesName(cyrillic), "ПриветПриветПриветПр");
    const std::string cjk = "漢字漢字漢字漢字漢字漢字漢字漢字漢字漢字漢";
    EXPECT_EQ(ChartData::seriesName(cjk), "漢字漢字漢字漢字漢字漢字漢字漢字漢字漢字");
}

TEST(ValueScale, CoversTheValuesAndZeroInRoundSteps) {
    struct Case {
        double min;
        double max;
    };
    for (const Case& range : {Case{0, 0}, Case{0, 1}, Case{3, 3}, Case{0, 47}, Case{-12, 30}, Case{-7, -2},
                              Case{0, 123456}, Case{5, 1e9}}) {
        const ValueScale scale = ValueScale::forRange(range.min, range.max);
        SCOPED_TRACE(std::to_string(range.min) + " .. " + std::to_string(range.max));
        EXPECT_LE(scale.low, std::min(range.min, 0.0));
        EXPECT_GE(scale.high, std::max(range.max, 0.0));
        EXPECT_GT(scale.high, scale.low);
        EXPECT_GE(scale.step, 1.0);
        const double steps = (scale.high - scale.low) / scale.step;
        EXPECT_EQ(steps, std::floor(steps));
        EXPECT_LE(steps, 10.0);
        EXPECT_EQ(scale.low / scale.step, std::floor(scale.low / scale.step));
    }
}

TEST(ChartLegend, ShowsWhatFitsAndCountsTheRestOnItsLastLine) {
    using dwellmark::ui::LegendFit;
    // 10 lines of 18 pixels in 180 (and in 190: a part line holds nothing).
    for (const int height : {180, 190}) {
        EXPECT_EQ(LegendFit::forEntries(0, height, 18).shown, 0U);
        EXPECT_EQ(LegendFit::forEntries(1, height, 18).moreText(), "");
        const LegendFit exact = LegendFit::forEntries(10, height, 18);
        EXPECT_EQ(exact.shown, 10U);
        EXPECT_EQ(exact.moreText(), "");
        const LegendFit over = LegendFit::forEntries(3000, height, 18);
        EXPECT_EQ(over.shown, 9U);
        EXPECT_EQ(over.shown + over.more, 3000U);
        EXPECT_EQ(over.moreText(), "+ 2991 more");
    }
    // Not one line: nothing is drawn, not even the count.
    EXPECT_EQ(LegendFit::forEntries(5, 17, 18).shown, 0U);
    // Titles left out of the chart are counted with those left out of the
    // legend, and take the last line when every bar would fit.
    EXPECT_EQ(LegendFit::forEntries(3000, 180, 18, 7233).moreText(), "+ 10224 more");
    const LegendFit fitting = LegendFit::forEntries(10, 180, 18, 1);
    EXPECT_EQ(fitting.shown, 9U);
    EXPECT_EQ(fitting.moreText(), "+ 2 more");
    EXPECT_EQ(LegendFit::forEntries(9, 180, 18, 1).moreText(), "+ 1 more");
    EXPECT_EQ(LegendFit::forEntries(9, 180, 18, 1).shown, 9U);
}

TEST(ChartData, ATitlePastTheLastBarIsCountedAsLeftOut) {
    ActivityTable totals = dwellmark::makeTotalsTable();
    for (int i = 0; i < 40000; ++i) {
        addTotal(totals, "a.exe", ("Title " + std::to_string(i)).c_str(), "1");
    }
    const ChartData chart = ChartData::fromTotals(totals);
    EXPECT_EQ(chart.series.size(), 32767U);
    EXPECT_EQ(chart.series.back().title, "Title 32766");
    EXPECT_EQ(chart.leftOut, 7233U);
    EXPECT_EQ(ChartData::fromTotals(dwellmark::makeTotalsTable()).leftOut, 0U);
}

TEST(ChartLegend, ABarsTipNamesItsWholeTitleAndSeconds) {
    ActivityTable totals = dwellmark::makeTotalsTable();
    addTotal(totals, "a.exe", "A title longer than twenty characters", "3725 00:00:00");
    const ChartData chart = ChartData::fromTotals(totals);
    EXPECT_EQ(chart.series[0].name, "A title longer than ");
    EXPECT_EQ(dwellmark::ui::barTip(chart.series[0]), "A title longer than twenty characters\n3725 s");
}
