// When the main window ticks: on the desktop's change reports, or every millisecond.
#pragma once

#include "tracking/changefeed.h"
#include "ui/tickpacer.h"

#include <optional>
#include <string_view>

namespace dwellmark::ui {

class TickTimer;

/// Runs the ticks of a main window through its toolkit's TickTimer. With
/// desktop events as the source and a backend that reports every change
/// (ChangeFeed::watchChanges), a tick runs at the start and then as
/// TickPacer's rule says, on the toolkit's clock:
///
/// - ticks are paid from an allowance of at most TickPacer::burst (4) ticks,
///   which starts full and grows by one tick per millisecond, evenly, until
///   it is full again; each tick spends one;
/// - a reported change is ticked as soon as the allowance holds a whole tick:
///   at once after a quiet moment and for the first few changes that follow
///   one another closely, otherwise when the allowance has grown to a tick,
///   at most a millisecond later (a toolkit whose timer counts whole
///   milliseconds waits that millisecond); changes the backend already holds
///   after a tick count as reported then;
/// - a descriptor that turns readable is a report only when the backend finds
///   something in it that may change its answers (ChangeFeed::readChanges);
/// - without a change, a safety tick runs the feed's
///   ChangeFeed::safetyTickInterval() after the last tick (a second, or a
///   minute where the reports come over a connection).
///
/// Any span of time T therefore holds at most 4 + T / 1 ms ticks. Otherwise a
/// tick runs every millisecond; when that is because the desktop cannot
/// report its changes, standard error says so once.
class TickLoop final : public ChangeWatcher {
public:
    /// Both must outlive the loop; the change reports start at once.
    TickLoop(ChangeFeed& changes, TickTimer& timer, TickSource source);
    ~TickLoop();

    TickLoop(const TickLoop&) = delete;
    TickLoop& operator=(const TickLoop&) = delete;

    /// Whether the ticks follow the desktop's reports (false: every millisecond).
    bool followsDesktop() const { return m_followsDesktop; }
    /// What the main window's notice line says about the ticks: the line of
    /// standard error, without the program's name, when the desktop cannot
    /// report its changes; empty otherwise (also for the 1 ms ticks asked for).
    std::string_view notice() const;

    /// Starts the ticks, with one at once.
    void start();
    /// Stops them; no tick is asked for until start().
    void stop();
    /// To be called once each tick has run.
    void ticked();

    void changeReported() override;
    bool watchDescriptor(int descriptor) override;
    /// The descriptor given to watchDescriptor() has become readable.
    void descriptorReadable();

private:
    void arm();

    ChangeFeed& m_changes;
    TickTimer& m_timer;
    std::optional<TickPacer> m_pacer;
    bool m_followsDesktop = false;
    bool m_fellBack = false;
    bool m_running = false;
};

} // namespace dwellmark::ui
