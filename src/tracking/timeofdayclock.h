#pragma once

namespace dwellmark {

/// The local time of day: seconds since local midnight, with a fraction. It
/// falls back to 0 at midnight.
class TimeOfDayClock {
public:
    virtual ~TimeOfDayClock() = default;

    virtual float secondsSinceMidnight() = 0;
};

} // namespace dwellmark
