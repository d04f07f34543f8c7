// Linux helpers of the X11 backend: process and host names, and the local clock.
#include "platform/linux/localclock.h"
#include "platform/linux/processname.h"
#include "scopedenvironment.h"

#include <cmath>
#include <ctime>
#include <gtest/gtest.h>
#include <string>
#include <unistd.h>
#include <utility>
#include <vector>

namespace dwellmark::platform::linux {
namespace {

TEST(ExecutableBaseName, NamesTheExecutableWithoutItsFolder) {
    EXPECT_EQ(executableBaseName(getpid()), "linux_tests");
}

TEST(ExecutableBaseName, IsEmptyForAProcessThatDoesNotExist) {
    EXPECT_EQ(executableBaseName(0), "");
    EXPECT_EQ(executableBaseName(-1), "");
    // Beyond the largest process number Linux hands out (2^22).
    EXPECT_EQ(executableBaseName(4'194'305), "");
}

TEST(IsThisHost, ComparesHostNamesWithoutRegardToCase) {
    char own[256] = {};
    ASSERT_EQ(gethostname(own, sizeof own - 1), 0);
    std::string name = own;
    EXPECT_TRUE(isThisHost(name));
    for (char& c : name) {
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    }
    EXPECT_TRUE(isThisHost(name));
    EXPECT_FALSE(isThisHost(name + "x"));
    EXPECT_FALSE(isThisHost("elsewhere.invalid"));
    EXPECT_FALSE(isThisHost(""));
}

TEST(LocalClock, ReadsTheLocalTimeOfDayWithAFraction) {
    LocalClock clock;
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    const double expected = local.tm_hour * 3600.0 + local.tm_min * 60.0 + local.tm_sec;
    const float reading = clock.secondsSinceMidnight();
    EXPECT_GE(reading, 0.0F);
    EXPECT_LT(reading, 86400.0F);
    // Across midnight the two readings are a day apart.
    const double apart = std::fabs(static_cast<double>(reading) - expected);
    EXPECT_TRUE(apart < 2.0 || apart > 86398.0) << reading << " vs " << expected;

    // A fraction shows up among a few readings taken a little apart.
    bool fraction = false;
    for (int i = 0; i < 50 && !fraction; ++i) {
        const float r = clock.secondsSinceMidnight();
        fraction = r != std::floor(r);
        usleep(1000);
    }
    EXPECT_TRUE(fraction);
}

double monotonicSeconds() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) / 1e9;
}

TEST(LocalClock, TheSteadyReadingIsTheMonotonicClockWhateverTheTimeZone) {
    LocalClock clock;
    std::vector<std::pair<float, double>> readings;
    for (const char* zone : {"UTC-5", "UTC+3"}) {
        const testing::ScopedEnvironment inZone("TZ", zone);
        tzset();
        const double before = monotonicSeconds();
        readings.emplace_back(clock.secondsSinceMidnight(), clock.steadySeconds());
        EXPECT_GE(readings.back().second, before) << zone;
        EXPECT_LE(readings.back().second, monotonicSeconds()) << zone;
    }
    tzset();
    // The time of day went back 8 hours (modulo a day); the steady reading did not.
    const double moved = std::fmod(readings[0].first - readings[1].first + 86400.0F, 86400.0F);
    EXPECT_NEAR(moved, 8 * 3600.0, 60.0);
    EXPECT_LT(readings[1].second - readings[0].second, 60.0);
}

} // namespace
} // namespace dwellmark::platform::linux
