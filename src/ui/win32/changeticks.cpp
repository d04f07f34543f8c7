// Ticks from the desktop's change reports.
#include "ui/win32/changeticks.h"

namespace dwellmark::ui::win32 {

ChangeTicks::~ChangeTicks() {
    stop();
}

void ChangeTicks::start(HWND window, UINT message) {
    m_window = window;
    m_message = message;
    m_running = true;
    SetTimer(window, safetyTimerId, safetyIntervalMs, nullptr);
}

void ChangeTicks::stop() {
    if (m_running) {
        KillTimer(m_window, safetyTimerId);
        KillTimer(m_window, gapTimerId);
        m_running = false;
    }
}

void ChangeTicks::ticked() {
    m_pending = false;
    m_lastTick = GetTickCount64();
}

void ChangeTicks::timerFired(UINT_PTR id) {
    if (id == gapTimerId) {
        KillTimer(m_window, gapTimerId);
        m_waitingForGap = false;
    }
    if (id == gapTimerId || id == safetyTimerId) {
        post();
    }
}

void ChangeTicks::changed() {
    if (!m_running || m_pending || m_waitingForGap) {
        return;
    }
    // A report in the millisecond of the last tick waits for the next one.
    if (GetTickCount64() == m_lastTick) {
        m_waitingForGap = true;
        SetTimer(m_window, gapTimerId, 1, nullptr);
        return;
    }
    post();
}

void ChangeTicks::post() {
    if (m_running && !m_pending) {
        m_pending = PostMessageW(m_window, m_message, 0, 0) != FALSE;
    }
}

} // namespace dwellmark::ui::win32
