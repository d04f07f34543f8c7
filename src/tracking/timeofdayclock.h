// The clock the tracker reads: the local time of day for the tables, and a steady count for lengths.
#pragma once

namespace dwellmark {

/// The clock of the tracking core, read on the user-interface thread.
///
/// secondsSinceMidnight is the local time of day: seconds since local
/// midnight, with a fraction. It falls back to 0 at midnight, and it follows
/// everything the wall clock does: steps of the clock (by hand or by NTP),
/// summer time, a change of time zone. The tables keep it as text where they
/// note when a stretch started and ended.
///
/// steadySeconds is what lengths are measured on: seconds with a fraction,
/// counted from an arbitrary moment fixed while the program runs, so that only
/// the difference of two readings means anything. It never goes back and never
/// jumps: setting the clock, summer time, a change of time zone and midnight
/// leave it alone. It does not advance while the computer sleeps or
/// hibernates, so time asleep is not counted as time in front of a window.
class TimeOfDayClock {
public:
    virtual ~TimeOfDayClock() = default;

    virtual float secondsSinceMidnight() = 0;
    virtual double steadySeconds() = 0;
};

} // namespace dwellmark
