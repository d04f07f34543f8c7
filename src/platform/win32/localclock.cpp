// The Windows clock: the local time of day, and the unbiased interrupt time that lengths are measured on.
#include "platform/win32/localclock.h"

#include <algorithm>
#include <cmath>

namespace dwellmark::platform::win32 {

LocalClock::LocalClock() {
    // Looked up at run time: MinGW-w64's import library of kernel32 lacks it,
    // Windows before 10 and Wine 8 do not have it.
    for (const wchar_t* module : {L"kernelbase.dll", L"kernel32.dll"}) {
        if (const HMODULE loaded = GetModuleHandleW(module)) {
            if (const FARPROC call = GetProcAddress(loaded, "QueryUnbiasedInterruptTimePrecise")) {
                // Through a generic function pointer, which the compiler lets
                // stand for any other without a warning.
                m_precise = reinterpret_cast<PreciseCall>(reinterpret_cast<void (*)()>(call));
                break;
            }
        }
    }
}

float LocalClock::secondsSinceMidnight() {
    SYSTEMTIME now{};
    GetLocalTime(&now);
    return win32::secondsSinceMidnight(now);
}

double LocalClock::steadySeconds() {
    ULONGLONG now = 0;
    if (m_precise != nullptr) {
        m_precise(&now);
    } else {
        QueryUnbiasedInterruptTime(&now);
    }
    return interruptTimeSeconds(now);
}

float secondsSinceMidnight(const SYSTEMTIME& time) {
    // Summed in double so that the milliseconds are rounded only once, at the end.
    const double seconds = time.wHour * 3600.0 + time.wMinute * 60.0 + time.wSecond + time.wMilliseconds / 1000.0;
    // In the last few milliseconds of the day the nearest float is 86400 itself,
    // which is midnight; the day ends just below it.
    return std::min(static_cast<float>(seconds), std::nextafter(86400.0F, 0.0F));
}

double interruptTimeSeconds(ULONGLONG hundredsOfNanoseconds) {
    // Whole seconds and the rest apart, so that a large count keeps its fraction exact.
    constexpr ULONGLONG perSecond = 10'000'000;
    return static_cast<double>(hundredsOfNanoseconds / perSecond) +
           static_cast<double>(hundredsOfNanoseconds % perSecond) / static_cast<double>(perSecond);
}

} // namespace dwellmark::platform::win32
