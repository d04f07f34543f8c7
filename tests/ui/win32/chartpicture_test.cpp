// The drawing plan of the chart: bars, legend, value axis, for 0, 1 and several
// series, and nothing drawn over anything else up to thousands of them.
#include "ui/win32/chartpicture.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <map>
#include <string>
#include <vector>

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

using Box = ChartPicture::Box;

bool inside(const Box& inner, const Box& outer) {
    return inner.left >= outer.left && inner.top >= outer.top && inner.right <= outer.right &&
           inner.bottom <= outer.bottom;
}

bool overlap(const Box& a, const Box& b) {
    return a.left < b.right && b.left < a.right && a.top < b.bottom && b.top < a.bottom;
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

TEST(ChartPicture, NothingIsDrawnOverAnythingElseFromNoTitleToThousands) {
    for (const std::size_t count : {0, 1, 30, 300, 3000}) {
        SCOPED_TRACE(count);
        ChartData data;
        for (std::size_t i = 0; i < count; ++i) {
            data.series.push_back({"Window " + std::to_string(i), static_cast<double>((i * 37) % 500), ""});
        }
        const ChartPicture picture(data, 643, 581);
        const auto& bars = picture.bars();
        // What is drawn outside the plot, then the bars drawn inside it.
        std::vector<Box> parts{picture.categoryBox(), picture.xTitleBox(), picture.yTitleBox()};
        for (const ChartPicture::Gridline& gridline : picture.gridlines()) {
            parts.push_back(gridline.labelBox);
        }
        const auto entries = static_cast<std::size_t>(
            std::count_if(bars.begin(), bars.end(), [](const auto& bar) { return bar.inLegend; }));
        EXPECT_EQ(picture.moreText(), count > entries ? "+ " + std::to_string(count - entries) + " more" : "");
        EXPECT_GE(entries, std::min<std::size_t>(count, 26)) << "the legend is filled";
        if (count > entries) {
            parts.push_back(picture.moreBox());
        }
        for (std::size_t i = 0; i < entries; ++i) {
            ASSERT_TRUE(bars[i].inLegend) << "the first bars have the entries";
            parts.insert(parts.end(), {bars[i].swatch, bars[i].legendText});
        }
        const std::size_t outsidePlot = parts.size();
        std::map<int, int> tallest;
        for (const ChartPicture::Bar& bar : bars) {
            ASSERT_TRUE(inside(bar.box, picture.plot()));
            tallest[bar.box.left] = std::max(tallest[bar.box.left], bar.box.bottom - bar.box.top);
            if (bar.drawn) {
                parts.push_back(bar.box);
            }
        }
        // A column of several bars draws the tallest.
        for (const ChartPicture::Bar& bar : bars) {
            EXPECT_TRUE(!bar.drawn || tallest[bar.box.left] == bar.box.bottom - bar.box.top);
        }
        for (std::size_t a = 0; a < parts.size(); ++a) {
            EXPECT_TRUE(inside(parts[a], picture.area()) && parts[a].right > parts[a].left) << "part " << a;
            EXPECT_TRUE(a >= outsidePlot || !overlap(parts[a], picture.plot())) << "part " << a;
            for (std::size_t b = a + 1; b < parts.size(); ++b) {
                ASSERT_FALSE(overlap(parts[a], parts[b])) << "parts " << a << " and " << b;
            }
        }
    }
}
