// The drawing plan of the chart: bars, legend, value axis, for 0, 1 and several
// series, and nothing drawn over anything else up to thousands of them.
#include "ui/win32/chartpicture.h"

#include <gtest/gtest.h>
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

namespace {

using Box = ChartPicture::Box;

bool inside(const Box& inner, const Box& outer) {
    return inner.left >= outer.left && inner.top >= outer.top && inner.right <= outer.right &&
           inner.bottom <= outer.bottom;
}

bool overlap(const Box& a, const Box& b) {
    return a.left < b.right && b.left < a.right && a.top < b.bottom && b.top < a.bottom;
}

} // namespace

TEST(ChartPicture, NothingIsDrawnOverAnythingElseFromNoTitleToThousands) {
    std::size_t legendLines = 0;
    for (const std::size_t count : {0, 1, 30, 300, 3000}) {
        SCOPED_TRACE(count);
        ChartData data;
        for (std::size_t i = 0; i < count; ++i) {
            const std::string title = "Window number " + std::to_string(i) + " with a long title";
            data.series.push_back({ChartData::seriesName(title), static_cast<double>((i * 37) % 500), title});
        }
        const ChartPicture picture(data, 643, 581);
        // Every part that is drawn, named for the messages.
        std::vector<std::pair<std::string, Box>> parts{
            {"category", picture.categoryBox()}, {"x title", picture.xTitleBox()}, {"y title", picture.yTitleBox()}};
        for (const ChartPicture::Gridline& gridline : picture.gridlines()) {
            parts.emplace_back("label " + gridline.label, gridline.labelBox);
        }
        std::size_t entries = 0;
        for (std::size_t i = 0; i < picture.bars().size(); ++i) {
            const ChartPicture::Bar& bar = picture.bars()[i];
            ASSERT_TRUE(inside(bar.box, picture.plot())) << "bar " << i;
            // A bar left undrawn shares its column with a taller one that is drawn.
            if (bar.drawn) {
                parts.emplace_back("bar " + std::to_string(i), bar.box);
            } else {
                const auto column = picture.barsAt(bar.box.left, picture.plot().top);
                EXPECT_TRUE(std::any_of(column.begin(), column.end(),
                                        [&](std::size_t other) {
                                            const Box& box = picture.bars()[other].box;
                                            return picture.bars()[other].drawn &&
                                                   box.bottom - box.top >= bar.box.bottom - bar.box.top;
                                        }))
                    << "bar " << i;
            }
            // The legend names the first bars, in order.
            if (bar.inLegend) {
                EXPECT_EQ(entries++, i);
                parts.emplace_back("swatch " + std::to_string(i), bar.swatch);
                parts.emplace_back("entry " + std::to_string(i), bar.legendText);
            }
        }
        if (count > entries) {
            EXPECT_EQ(picture.moreText(), "+ " + std::to_string(count - entries) + " more");
            parts.emplace_back("more", picture.moreBox());
            // The legend is as long whatever the count, and mostly entries.
            legendLines = legendLines == 0 ? entries : legendLines;
            EXPECT_EQ(entries, legendLines);
            EXPECT_GE(entries, 20U);
        } else {
            EXPECT_EQ(picture.moreText(), "");
        }
        for (std::size_t a = 0; a < parts.size(); ++a) {
            EXPECT_TRUE(inside(parts[a].second, picture.area())) << parts[a].first;
            EXPECT_GT(parts[a].second.right, parts[a].second.left) << parts[a].first;
            for (std::size_t b = a + 1; b < parts.size(); ++b) {
                ASSERT_FALSE(overlap(parts[a].second, parts[b].second)) << parts[a].first << " / " << parts[b].first;
            }
            // Only the bars are drawn in the plot.
            if (parts[a].first.rfind("bar ", 0) != 0) {
                EXPECT_FALSE(overlap(parts[a].second, picture.plot())) << parts[a].first;
            }
        }
        // Every bar can be pointed at: some pixel of the plot names it.
        std::vector<int> named(count, 0);
        for (int x = picture.plot().left; x < picture.plot().right; ++x) {
            for (const std::size_t bar : picture.barsAt(x, picture.plot().bottom)) {
                ++named[bar];
            }
        }
        EXPECT_EQ(std::count(named.begin(), named.end(), 0), 0);
    }
}
