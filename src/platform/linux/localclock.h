#pragma once

#include "tracking/timeofdayclock.h"

namespace dwellmark::platform::linuxos {

/// The wall clock in the local time zone, as seconds since local midnight.
class LocalClock final : public TimeOfDayClock {
public:
    float secondsSinceMidnight() override;
};

} // namespace dwellmark::platform::linuxos
