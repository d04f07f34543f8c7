// When the next tick runs, for a front end whose backend reports the desktop's changes.
#pragma once

#include <cstdint>
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

/// The pacing rule of event-driven ticks. A tick runs as soon as a change is
/// reported, but at most once per millisecond, so that a burst of events costs
/// one tick per millisecond and no change waits longer than a millisecond; and
/// a safety tick runs after a second without one, so that a missed event costs
/// at most that. Nothing else runs while the desktop is quiet.
///
/// Times are milliseconds on a monotonic clock of the caller's choosing; the
/// caller runs a tick once nextTick() has come, then calls ticked().
class TickPacer final {
public:
    using Milliseconds = std::int64_t;

    /// The shortest time from one tick to the next.
    static constexpr Milliseconds minimumGap = 1;
    /// The longest time without a tick.
    static constexpr Milliseconds safetyInterval = 1000;

    /// Starts with a tick due at once, to see the desktop as it is.
    explicit TickPacer(Milliseconds now) : m_lastTick(now - minimumGap), m_next(now) {}

    /// The desktop may have changed.
    void changeReported(Milliseconds now);

    /// A tick ran. moreChanges: the backend already holds changes that it
    /// read during the tick and that no descriptor will announce.
    void ticked(Milliseconds now, bool moreChanges);

    /// When the next tick is due.
    Milliseconds nextTick() const { return m_next; }

    /// How long from now until the next tick; 0 when it is due.
    Milliseconds delay(Milliseconds now) const { return m_next > now ? m_next - now : 0; }

private:
    Milliseconds m_lastTick;
    Milliseconds m_next;
};

} // namespace dwellmark
