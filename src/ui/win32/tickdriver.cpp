// The main window's ticks on Win32: a posted message, a window timer, and the multimedia timer.
#include "ui/win32/tickdriver.h"

#include <chrono>
#include <mmsystem.h>
#include <stdexcept>

namespace dwellmark::ui::win32 {

namespace {

constexpr UINT multimediaIntervalMs = 1;

void CALLBACK onMultimediaTimer(UINT, UINT, DWORD_PTR context, DWORD_PTR, DWORD_PTR) {
    reinterpret_cast<TickDriver*>(context)->post();
}

} // namespace

TickDriver::TickDriver(ChangeFeed& changes, dwellmark::TickSource source) : m_loop(changes, *this, source) {}

TickDriver::~TickDriver() {
    // No callback of the multimedia timer may outlive this.
    stopTicks();
}

void TickDriver::start(HWND window, UINT message) {
    m_window = window;
    m_message = message;
    m_loop.start();
}

void TickDriver::ticked() {
    m_pending.store(false);
    m_loop.ticked();
}

void TickDriver::timerFired(UINT_PTR id) {
    if (id == timerId && m_waiting) {
        killTimer();
        postPaced();
    }
}

void TickDriver::post() {
    if (!m_pending.exchange(true) && PostMessageW(m_window, m_message, 0, 0) == FALSE) {
        m_pending.store(false);
    }
}

void TickDriver::postPaced() {
    if (m_pending.load()) {
        return;
    }
    post();
    if (!m_pending.load()) {
        // A full queue: try again a moment later.
        setTimer(std::chrono::milliseconds(1));
    }
}

TickTimer::Time TickDriver::now() const {
    // The performance counter, not GetTickCount64's steps of some 16 ms: the
    // pacing counts fractions of a millisecond.
    static const long long frequency = [] {
        LARGE_INTEGER perSecond{};
        QueryPerformanceFrequency(&perSecond);
        return perSecond.QuadPart;
    }();
    LARGE_INTEGER count{};
    QueryPerformanceCounter(&count);
    const long long seconds = count.QuadPart / frequency;
    const long long rest = count.QuadPart % frequency;
    return std::chrono::seconds(seconds) + std::chrono::nanoseconds(rest * 1'000'000'000LL / frequency);
}

void TickDriver::runTickIn(Time delay) {
    if (m_pending.load()) {
        return;
    }
    if (delay == Time::zero()) {
        killTimer();
        postPaced();
        return;
    }
    setTimer(delay);
}

void TickDriver::runTickEveryMillisecond() {
    timeBeginPeriod(multimediaIntervalMs);
    m_multimediaTimer = timeSetEvent(multimediaIntervalMs, 0, onMultimediaTimer, reinterpret_cast<DWORD_PTR>(this),
                                     TIME_PERIODIC | TIME_CALLBACK_FUNCTION | TIME_KILL_SYNCHRONOUS);
    if (m_multimediaTimer == 0) {
        timeEndPeriod(multimediaIntervalMs);
        throw std::runtime_error("the 1 ms timer could not be started");
    }
}

void TickDriver::stopTicks() {
    killTimer();
    if (m_multimediaTimer != 0) {
        // Synchronous: no callback runs after this.
        timeKillEvent(m_multimediaTimer);
        timeEndPeriod(multimediaIntervalMs);
        m_multimediaTimer = 0;
    }
}

void TickDriver::setTimer(Time delay) {
    // Setting the timer again replaces the one that waits for a later tick.
    // It counts whole milliseconds: rounded up, the tick is never early.
    SetTimer(m_window, timerId, static_cast<UINT>(std::chrono::ceil<std::chrono::milliseconds>(delay).count()),
             nullptr);
    m_waiting = true;
}

void TickDriver::killTimer() {
    if (m_waiting) {
        KillTimer(m_window, timerId);
        m_waiting = false;
    }
}

} // namespace dwellmark::ui::win32
