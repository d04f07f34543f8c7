#pragma once

#include "tracking/timeofdayclock.h"
#include "win32api/windowsheaders.h"

namespace dwellmark::platform::win32 {

/// The local time of day from GetLocalTime, to the millisecond.
class Win32Clock final : public TimeOfDayClock {
public:
    float secondsSinceMidnight() override;
};

/// Seconds since midnight of a local time, milliseconds as the fraction.
float secondsSinceMidnight(const SYSTEMTIME& time);

} // namespace dwellmark::platform::win32
