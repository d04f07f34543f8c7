#include "platform/win32/win32clock.h"

#include <algorithm>
#include <cmath>

namespace dwellmark::platform::win32 {

float Win32Clock::secondsSinceMidnight() {
    SYSTEMTIME now{};
    GetLocalTime(&now);
    return win32::secondsSinceMidnight(now);
}

float secondsSinceMidnight(const SYSTEMTIME& time) {
    // Summed in double so that the milliseconds are rounded only once, at the end.
    const double seconds = time.wHour * 3600.0 + time.wMinute * 60.0 + time.wSecond + time.wMilliseconds / 1000.0;
    // In the last few milliseconds of the day the nearest float is 86400 itself,
    // which is midnight; the day ends just below it.
    return std::min(static_cast<float>(seconds), std::nextafter(86400.0F, 0.0F));
}

} // namespace dwellmark::platform::win32
