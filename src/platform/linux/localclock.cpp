// The Linux clock: the local time of day, and CLOCK_MONOTONIC that lengths are measured on.
#include "platform/linux/localclock.h"

#include <algorithm>
#include <cmath>
#include <ctime>

namespace dwellmark::platform::linux {

float LocalClock::secondsSinceMidnight() {
    timespec now{};
    clock_gettime(CLOCK_REALTIME, &now);
    tm local{};
    localtime_r(&now.tv_sec, &local);
    const double seconds =
        local.tm_hour * 3600.0 + local.tm_min * 60.0 + local.tm_sec + static_cast<double>(now.tv_nsec) / 1e9;
    // Single precision has steps of about 8 ms near the end of the day (and a
    // leap second reads 23:59:60): the last moments before midnight must not
    // become 86,400, a time of day that does not exist.
    return std::min(static_cast<float>(seconds), std::nextafter(86400.0F, 0.0F));
}

double LocalClock::steadySeconds() {
    // CLOCK_MONOTONIC, not CLOCK_BOOTTIME: time asleep is not time at a window.
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) / 1e9;
}

} // namespace dwellmark::platform::linux
