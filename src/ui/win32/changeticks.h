// Ticks when the desktop reports a change, paced by the core's tick pacing rule.
#pragma once

#include "tracking/tickpacer.h"
#include "ui/win32/ticksource.h"

namespace dwellmark::ui::win32 {

/// Ticks driven by a backend that reports every change of the desktop, at the
/// times TickPacer gives: one at the start, one as soon as a change is
/// reported but at most one a millisecond, and a safety tick after a second
/// without one. A window timer waits for the ticks that are not due yet.
/// Runs on the window's thread.
class ChangeTicks final : public TickSource {
public:
    /// windows must outlive the source; it tells of changes it holds already.
    explicit ChangeTicks(WindowSystem& windows);
    ~ChangeTicks() override;

    void start(HWND window, UINT message) override;
    void stop() override;
    void ticked() override;
    void timerFired(UINT_PTR id) override;

    /// The desktop may have changed.
    void changed();

    static constexpr UINT_PTR timerId = 0x7D31;

private:
    /// Posts the tick when it is due, else sets the timer for it.
    void arm();
    void post();
    static TickPacer::Milliseconds now();

    WindowSystem& m_windows;
    TickPacer m_pacer;
    HWND m_window = nullptr;
    UINT m_message = 0;
    bool m_running = false;
    // A tick is posted and has not run yet; it will see any change reported meanwhile.
    bool m_pending = false;
};

} // namespace dwellmark::ui::win32
