// The Windows clock: the local time of day, and the steady reading that lengths are measured on.
#include "platform/platform.h"
#include "platform/win32/localclock.h"

#include <gtest/gtest.h>

namespace dwellmark::platform::win32 {
namespace {

/// That time on 29 February 2024 (the day of the week is left 0).
SYSTEMTIME timeOfDay(WORD hour, WORD minute, WORD second, WORD milliseconds) {
    return SYSTEMTIME{2024, 2, 0, 29, hour, minute, second, milliseconds};
}

TEST(LocalClock, CountsSecondsSinceMidnightWithMilliseconds) {
    EXPECT_EQ(secondsSinceMidnight(timeOfDay(0, 0, 0, 0)), 0.0F);
    EXPECT_EQ(secondsSinceMidnight(timeOfDay(0, 10, 0, 250)), 600.25F);
    EXPECT_FLOAT_EQ(secondsSinceMidnight(timeOfDay(12, 34, 56, 789)), 45296.789F);
    // The last moment of the day is as close to 86400 as a float gets, but
    // below it: 86400 would be the next midnight.
    EXPECT_LT(secondsSinceMidnight(timeOfDay(23, 59, 59, 999)), 86400.0F);
    EXPECT_GT(secondsSinceMidnight(timeOfDay(23, 59, 59, 999)), 86399.98F);
}

TEST(LocalClock, ReadsTheLocalTime) {
    SYSTEMTIME before{};
    GetLocalTime(&before);
    const float reading = platform::createClock()->secondsSinceMidnight();
    SYSTEMTIME after{};
    GetLocalTime(&after);
    if (after.wHour < before.wHour) {
        GTEST_SKIP() << "midnight passed during the test";
    }
    EXPECT_GE(reading, secondsSinceMidnight(before));
    EXPECT_LE(reading, secondsSinceMidnight(after));
}

TEST(LocalClock, TheSteadyReadingIsTheUnbiasedInterruptTimeAndAdvances) {
    EXPECT_EQ(interruptTimeSeconds(0), 0.0);
    EXPECT_EQ(interruptTimeSeconds(15'000'000), 1.5);
    // A year of uptime keeps the fraction to well under a microsecond.
    constexpr ULONGLONG year = 10'000'000ULL * 86400 * 365;
    EXPECT_NEAR(interruptTimeSeconds(year + 5'000) - 86400.0 * 365, 0.0005, 1e-7);

    LocalClock clock;
    ULONGLONG before = 0;
    QueryUnbiasedInterruptTime(&before);
    const double first = clock.steadySeconds();
    double last = first;
    const ULONGLONG limit = GetTickCount64() + 60'000;
    while (last == first && GetTickCount64() < limit) {
        Sleep(1);
        const double reading = clock.steadySeconds();
        ASSERT_GE(reading, last) << "the steady reading went back";
        last = reading;
    }
    ULONGLONG after = 0;
    QueryUnbiasedInterruptTime(&after);
    EXPECT_GT(last, first) << "the steady reading did not advance";
    // QueryUnbiasedInterruptTime is the value of the last timer tick, behind a
    // precise reading by at most a tick.
    EXPECT_GE(first, interruptTimeSeconds(before));
    EXPECT_LE(last, interruptTimeSeconds(after) + 0.1);
}

} // namespace
} // namespace dwellmark::platform::win32
