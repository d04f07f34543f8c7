#include "tracking/formattime.h"

#include <cstdint>
#include <gtest/gtest.h>
#include <limits>
#include <string>

namespace dwellmark {
namespace {

// The classic way of rendering a count: minutes and hours counted up one
// minute at a time, then padded to two digits. formatTime must agree with it
// on every count it was ever given.
std::string countedDuration(int seconds) {
    int hours = 0;
    int minutes = 0;
    int rest = seconds;
    while (rest >= 60) {
        rest -= 60;
        if (++minutes == 60) {
            ++hours;
            minutes = 0;
        }
    }
    auto two = [](int v) { return (v < 10 ? "0" : "") + std::to_string(v); };
    return two(hours) + ":" + two(minutes) + ":" + two(rest);
}

TEST(FormatTime, RendersTheClassicRangeExactly) {
    EXPECT_EQ(formatTime(0), "00:00:00");
    EXPECT_EQ(formatTime(59), "00:00:59");
    EXPECT_EQ(formatTime(60), "00:01:00");
    EXPECT_EQ(formatTime(61), "00:01:01");
    EXPECT_EQ(formatTime(3599), "00:59:59");
    EXPECT_EQ(formatTime(3600), "01:00:00");
    EXPECT_EQ(formatTime(3661), "01:01:01");
    EXPECT_EQ(formatTime(32767), "09:06:07");
    for (int seconds = 0; seconds <= 32767; ++seconds) {
        ASSERT_EQ(formatTime(seconds), countedDuration(seconds)) << seconds;
    }
}

TEST(FormatTime, HoursKeepCountingPastTheOldLimit) {
    EXPECT_EQ(formatTime(32768), "09:06:08");
    EXPECT_EQ(formatTime(86399), "23:59:59");
    EXPECT_EQ(formatTime(86400), "24:00:00");
    EXPECT_EQ(formatTime(360000), "100:00:00");
    EXPECT_EQ(formatTime(30LL * 86400 + 1), "720:00:01");
    EXPECT_EQ(formatTime(std::numeric_limits<std::int64_t>::max()), "2562047788015215:30:07");
}

TEST(FormatTime, NegativeCountsAreSignedDurations) {
    EXPECT_EQ(formatTime(-5), "-00:00:05");
    EXPECT_EQ(formatTime(-3661), "-01:01:01");
    EXPECT_EQ(formatTime(-86400), "-24:00:00");
    // The most negative count has no positive counterpart in 64 bits.
    EXPECT_EQ(formatTime(std::numeric_limits<std::int64_t>::min()), "-2562047788015215:30:08");
}

} // namespace
} // namespace dwellmark
