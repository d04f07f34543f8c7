// The main window's ticks on Win32: a posted message, a window timer, and the multimedia timer.
#pragma once

#include "ui/tickloop.h"
#include "ui/ticktimer.h"
#include "ui/win32/tickposter.h"

#include <atomic>

namespace dwellmark::ui::win32 {

/// Win32's side of the TickLoop. Each tick is a message posted to the window.
/// A window timer waits for the paced ticks that are not due yet; the 1 ms
/// ticks come from the multimedia timer, since SetTimer cannot go below 10 ms
/// (some 64 ticks a second on Windows): it fires on a thread of its own and
/// posts the tick from there.
class TickDriver final : public TickPoster, private TickTimer {
public:
    /// changes must outlive the ticks.
    explicit TickDriver(ChangeFeed& changes, dwellmark::TickSource source = dwellmark::TickSource::DesktopEvents);
    ~TickDriver() override;

    void start(HWND window, UINT message) override;
    void stop() override { m_loop.stop(); }
    void ticked() override;
    void timerFired(UINT_PTR id) override;
    std::string_view notice() const override { return m_loop.notice(); }

    /// Whether the ticks follow the desktop's reports (false: every millisecond).
    bool followsDesktop() const { return m_loop.followsDesktop(); }

    /// Posts one tick unless one is already waiting; safe from any thread
    /// (the multimedia timer's).
    void post();

    static constexpr UINT_PTR timerId = 0x7D31;

private:
    Time now() const override;
    void runTickIn(Time delay) override;
    void runTickEveryMillisecond() override;
    void stopTicks() override;
    bool tickWaiting() const override { return m_waiting || m_pending.load(); }

    /// Posts the paced tick, or tries again a moment later.
    void postPaced();
    void setTimer(Time delay);
    void killTimer();

    HWND m_window = nullptr;
    UINT m_message = 0;
    unsigned int m_multimediaTimer = 0;
    // The window timer is set.
    bool m_waiting = false;
    // A tick is posted and has not run yet; it will see any change reported meanwhile.
    std::atomic<bool> m_pending{false};
    // Last: its reports may reach the members above from its constructor on.
    TickLoop m_loop;
};

} // namespace dwellmark::ui::win32
