// When the main window ticks: on the desktop's change reports, or every millisecond.
#pragma once

#include "tracking/changewatcher.h"
#include "tracking/tickpacer.h"

#include <optional>
#include <string_view>

namespace dwellmark {
class WindowSystem;
}

namespace dwellmark::ui {

class TickTimer;

/// Runs the ticks of a main window through its toolkit's TickTimer. With
/// desktop events as the source and a backend that reports every change
/// (WindowSystem::watchChanges), a tick runs when TickPacer says: at the start,
/// as soon as a change is reported but at most once a millisecond, and after a
/// second without one. Otherwise a tick runs every millisecond; when that is
/// because the desktop cannot report its changes, standard error says so once.
class TickLoop final : public ChangeWatcher {
public:
    /// Both must outlive the loop; the change reports start at once.
    TickLoop(WindowSystem& windows, TickTimer& timer, TickSource source);
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

    WindowSystem& m_windows;
    TickTimer& m_timer;
    std::optional<TickPacer> m_pacer;
    bool m_followsDesktop = false;
    bool m_fellBack = false;
    bool m_running = false;
};

} // namespace dwellmark::ui
