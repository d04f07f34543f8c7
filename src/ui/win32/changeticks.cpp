// Ticks from the desktop's change reports, paced by the core's tick pacing rule.
#include "ui/win32/changeticks.h"

#include "tracking/windowsystem.h"

namespace dwellmark::ui::win32 {

ChangeTicks::ChangeTicks(WindowSystem& windows) : m_windows(windows), m_pacer(now()) {}

ChangeTicks::~ChangeTicks() {
    stop();
}

TickPacer::Milliseconds ChangeTicks::now() {
    return static_cast<TickPacer::Milliseconds>(GetTickCount64());
}

void ChangeTicks::start(HWND window, UINT message) {
    m_window = window;
    m_message = message;
    m_running = true;
    m_pacer = TickPacer(now());
    arm();
}

void ChangeTicks::stop() {
    if (m_running) {
        KillTimer(m_window, timerId);
        m_running = false;
    }
}

void ChangeTicks::ticked() {
    m_pending = false;
    if (m_running) {
        m_pacer.ticked(now(), m_windows.hasQueuedChanges());
        arm();
    }
}

void ChangeTicks::timerFired(UINT_PTR id) {
    if (id == timerId) {
        KillTimer(m_window, timerId);
        post();
    }
}

void ChangeTicks::changed() {
    if (!m_running || m_pending) {
        return;
    }
    m_pacer.changeReported(now());
    arm();
}

void ChangeTicks::arm() {
    if (!m_running || m_pending) {
        return;
    }
    const TickPacer::Milliseconds delay = m_pacer.delay(now());
    if (delay == 0) {
        KillTimer(m_window, timerId);
        post();
        return;
    }
    // Setting the timer again replaces the one that waits for a later tick.
    SetTimer(m_window, timerId, static_cast<UINT>(delay), nullptr);
}

void ChangeTicks::post() {
    if (!m_running || m_pending) {
        return;
    }
    m_pending = PostMessageW(m_window, m_message, 0, 0) != FALSE;
    if (!m_pending) {
        // A full queue: try again a moment later.
        SetTimer(m_window, timerId, static_cast<UINT>(TickPacer::minimumGap), nullptr);
    }
}

} // namespace dwellmark::ui::win32
