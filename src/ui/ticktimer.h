// What a toolkit gives the tick loop: a clock, a timer for the ticks, a watch on a descriptor.
#pragma once

#include "ui/tickpacer.h"

namespace dwellmark::ui {

/// The toolkit's side of the tick loop, one adapter per front end. Every call
/// comes from TickLoop on the user-interface thread; a tick is the main
/// window's tick followed by TickLoop::ticked().
class TickTimer {
public:
    using Time = TickPacer::Time;

    /// Now on a monotonic clock, to a microsecond or better.
    virtual Time now() const = 0;
    /// Runs a tick once delay has passed, not before (0: as soon as the event
    /// loop is free), instead of any tick asked for before and not run yet.
    virtual void runTickIn(Time delay) = 0;
    /// Runs a tick about every millisecond until stopTicks().
    virtual void runTickEveryMillisecond() = 0;
    /// No tick asked for runs after this.
    virtual void stopTicks() = 0;
    /// Whether a tick asked for by runTickIn() has not run yet.
    virtual bool tickWaiting() const = 0;
    /// Starts watching the descriptor, not enabled yet: while enabled, its
    /// becoming readable calls TickLoop::descriptorReadable(). Returns false
    /// when the toolkit cannot watch one.
    virtual bool watchDescriptor(int descriptor) {
        static_cast<void>(descriptor);
        return false;
    }
    /// Enables or disables the watch started by watchDescriptor().
    virtual void setDescriptorWatched(bool watched) { static_cast<void>(watched); }

protected:
    ~TickTimer() = default;
};

} // namespace dwellmark::ui
