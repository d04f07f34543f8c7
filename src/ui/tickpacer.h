// When the next tick runs, for a front end whose backend reports the desktop's changes.
#pragma once

#include <chrono>
#include <string_view>

namespace dwellmark {

/// Where a front end's ticks come from.
enum class TickSource {
    /// A tick when the desktop reports a change (paced by TickPacer), falling
    /// back to the timer when the backend cannot report every change.
    DesktopEvents,
    /// A tick every millisecond, whatever happens on the desktop.
    Timer,
};

/// The line written once to standard error when the desktop cannot report its
/// changes and the front end ticks every millisecond instead.
inline constexpr std::string_view timerFallbackNotice =
    "dwellmark: the desktop does not report its changes; looking at it every millisecond instead\n";

/// The pacing rule of event-driven ticks, on a monotonic clock of the
/// caller's choosing (times are the time since its zero):
///
/// - Ticks are paid from an allowance of at most `burst` ticks that grows by
///   one tick per millisecond (evenly: by a millionth of a tick per
///   nanosecond) until it is full. Each tick spends one tick of it; it starts
///   full.
/// - A reported change is ticked as soon as the allowance holds a whole tick:
///   at once after a quiet moment, also when it comes right after other
///   changes (up to `burst` ticks back to back), and otherwise when the
///   allowance has grown to one tick, at most a millisecond later.
///   A change that the backend already holds after a tick counts as reported
///   at the end of that tick.
/// - A later report never puts off a tick that is due.
/// - Without a change, a safety tick runs a safety interval after the last
///   tick (a second unless the caller says otherwise), so that a change whose
///   report was lost costs at most that.
///
/// So any span of time T holds at most burst + T / 1 ms ticks (a storm of
/// events costs one tick per millisecond on average), and no reported change
/// waits more than a millisecond for its tick. The caller runs a tick once
/// nextTick() has come, never before, then calls ticked().
class TickPacer final {
public:
    /// A time on the caller's clock, or a span of it.
    using Time = std::chrono::nanoseconds;

    /// How long the allowance takes to grow by one tick.
    static constexpr Time refill = std::chrono::milliseconds(1);
    /// How many ticks the full allowance holds.
    static constexpr int burst = 4;
    /// The longest time without a tick, unless the caller gives another.
    static constexpr Time safetyInterval = std::chrono::seconds(1);

    /// Starts with a full allowance and a tick due at once, to see the desktop
    /// as it is. safety: the longest time without a tick (positive).
    explicit TickPacer(Time now, Time safety = safetyInterval)
        : m_emptyAt(now - burst * refill), m_next(now), m_safety(safety) {}

    /// The desktop may have changed.
    void changeReported(Time now);

    /// A tick ran. moreChanges: the backend already holds changes that it
    /// read during the tick and that no descriptor will announce.
    void ticked(Time now, bool moreChanges);

    /// When the next tick is due.
    Time nextTick() const { return m_next; }

    /// How long from now until the next tick; 0 when it is due.
    Time delay(Time now) const { return m_next > now ? m_next - now : Time::zero(); }

private:
    /// The earliest time at which the allowance holds a whole tick.
    Time allowed() const { return m_emptyAt + refill; }

    // The allowance as the time at which it was (or will be) empty, had it
    // grown without a limit: at time t it holds min(burst, (t - m_emptyAt) / refill) ticks.
    Time m_emptyAt;
    Time m_next;
    Time m_safety;
};

} // namespace dwellmark
