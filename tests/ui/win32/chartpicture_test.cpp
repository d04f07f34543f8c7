// The drawing plan of the chart: bars, legend, value axis, for 0, 1 and several series.
#include "ui/win32/chartpicture.h"

#include <gtest/gtest.h>

using dwellmark::ui::ChartData;
using dwellmark::ui::win32::ChartPicture;

namespace {

ChartData chartOf(std::initializer_list<std::pair<const char*, double>> series) {
    ChartData data;
    for (const auto& [name, value] : series) {
        data.series.push_back({name, value, name});
    }
    return data;
}

int height(const ChartPicture::Box& box) {
    return box.bottom - box.top;
}

} // namespace

TEST(ChartPicture, NoSeriesDrawsAxesOnly) {
    const ChartPicture picture(chartOf({}), 643, 581);
    EXPECT_TRUE(picture.bars().empty());
    EXPECT_FALSE(picture.gridlines().empty());
    EXPECT_EQ(picture.zeroY(), picture.plot().bottom);
}

TEST(ChartPicture, OneBarStandsOnTheZeroLineWithItsLegendEntry) {
    const ChartPicture picture(chartOf({{"Editor", 42}}), 643, 581);
    ASSERT_EQ(picture.bars().size(), 1U);
    const ChartPicture::Bar& bar = picture.bars()[0];
    EXPECT_EQ(bar.name, "Editor");
    EXPECT_EQ(bar.value, 42.0);
    EXPECT_EQ(bar.box.bottom, picture.zeroY());
    EXPECT_GT(height(bar.box), 0);
    EXPECT_GE(bar.box.top, picture.plot().top);
    EXPECT_GT(bar.legendX, picture.plot().right);
    EXPECT_EQ(picture.data().category, "R1");
    // The gridline labels step through the value axis, ending at or above the value.
    EXPECT_EQ(picture.gridlines().front().label, "0");
    EXPECT_GE(std::stod(picture.gridlines().back().label), 42.0);
}

TEST(ChartPicture, SeveralBarsSideBySideInTheTablesOrderScaledToTheirValues) {
    const ChartPicture picture(chartOf({{"a", 10}, {"b", 40}, {"c", -20}, {"d", 0}}), 643, 581);
    const auto& bars = picture.bars();
    ASSERT_EQ(bars.size(), 4U);
    for (std::size_t i = 1; i < bars.size(); ++i) {
        EXPECT_EQ(bars[i].box.left, bars[i - 1].box.right);
        EXPECT_GT(bars[i].legendY, bars[i - 1].legendY);
        EXPECT_NE(bars[i].colour, bars[i - 1].colour);
    }
    EXPECT_EQ(bars[0].name, "a");
    EXPECT_EQ(bars[3].name, "d");
    // Heights in proportion to the values, within a pixel of rounding.
    EXPECT_NEAR(height(bars[1].box), 4 * height(bars[0].box), 4);
    EXPECT_NEAR(height(bars[2].box), 2 * height(bars[0].box), 3);
    // The negative bar hangs below the zero line, the others stand on it.
    EXPECT_EQ(bars[2].box.top, picture.zeroY());
    EXPECT_EQ(bars[0].box.bottom, picture.zeroY());
    EXPECT_EQ(height(bars[3].box), 0);
    EXPECT_LE(picture.valueScale().low, -20.0);
    EXPECT_GE(picture.valueScale().high, 40.0);
    EXPECT_LT(picture.zeroY(), picture.plot().bottom);
}

TEST(ChartPicture, AScaleOfOneAndAHalfMakesEverythingOneAndAHalfTimesLarger) {
    const ChartData data = chartOf({{"a", 10}, {"b", 30}});
    const ChartPicture normal(data, 643, 581);
    const ChartPicture large(data, 965, 872, 1.5);
    EXPECT_NEAR(height(large.bars()[1].box), 1.5 * height(normal.bars()[1].box), 3);
    EXPECT_NEAR(large.plot().left, 1.5 * normal.plot().left, 1);
}
