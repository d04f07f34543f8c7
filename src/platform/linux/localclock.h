// The Linux clock: the local time of day, and CLOCK_MONOTONIC that lengths are measured on.
#pragma once

#include "tracking/timeofdayclock.h"

namespace dwellmark::platform::linux {

/// The wall clock in the local time zone, as seconds since local midnight;
/// the steady reading is CLOCK_MONOTONIC, which setting the clock and the
/// time zone leave alone and which stands still while the computer sleeps.
class LocalClock final : public TimeOfDayClock {
public:
    float secondsSinceMidnight() override;
    double steadySeconds() override;
};

} // namespace dwellmark::platform::linux
