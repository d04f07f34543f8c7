// The 1 ms tick of the main window from the multimedia timer.
#include "ui/win32/periodicticks.h"

#include <mmsystem.h>
#include <stdexcept>

namespace dwellmark::ui::win32 {

namespace {

void CALLBACK onTimer(UINT, UINT, DWORD_PTR context, DWORD_PTR, DWORD_PTR) {
    reinterpret_cast<PeriodicTicks*>(context)->post();
}

} // namespace

PeriodicTicks::~PeriodicTicks() {
    stop();
}

void PeriodicTicks::start(HWND window, UINT message) {
    m_window = window;
    m_message = message;
    timeBeginPeriod(m_intervalMs);
    m_timer = timeSetEvent(m_intervalMs, 0, onTimer, reinterpret_cast<DWORD_PTR>(this),
                           TIME_PERIODIC | TIME_CALLBACK_FUNCTION | TIME_KILL_SYNCHRONOUS);
    if (m_timer == 0) {
        timeEndPeriod(m_intervalMs);
        throw std::runtime_error("the 1 ms timer could not be started");
    }
}

void PeriodicTicks::stop() {
    if (m_timer != 0) {
        // Synchronous: no callback runs after this.
        timeKillEvent(m_timer);
        timeEndPeriod(m_intervalMs);
        m_timer = 0;
    }
}

void PeriodicTicks::post() {
    if (!m_pending.exchange(true) && PostMessageW(m_window, m_message, 0, 0) == FALSE) {
        m_pending.store(false);
    }
}

} // namespace dwellmark::ui::win32
