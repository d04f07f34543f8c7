// The Windows clock: the local time of day, and the unbiased interrupt time that lengths are measured on.
#pragma once

#include "tracking/timeofdayclock.h"
#include "win32api/windowsheaders.h"

namespace dwellmark::platform::win32 {

/// The local time of day from GetLocalTime, to the millisecond; the steady
/// reading is the unbiased interrupt time (which leaves out sleep and
/// hibernation), from QueryUnbiasedInterruptTimePrecise where Windows has it
/// (10 and later) and QueryUnbiasedInterruptTime, to the timer tick, elsewhere.
class LocalClock final : public TimeOfDayClock {
public:
    LocalClock();

    float secondsSinceMidnight() override;
    double steadySeconds() override;

private:
    using PreciseCall = VOID(WINAPI*)(PULONGLONG);
    PreciseCall m_precise = nullptr;
};

/// Seconds since midnight of a local time, milliseconds as the fraction.
float secondsSinceMidnight(const SYSTEMTIME& time);

/// An interrupt time (counted in 100 ns) in seconds.
double interruptTimeSeconds(ULONGLONG hundredsOfNanoseconds);

} // namespace dwellmark::platform::win32
