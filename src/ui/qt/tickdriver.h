// The main window's ticks on Qt: a timer, and a socket notifier on the backend's change descriptor.
#pragma once

#include "ui/tickloop.h"
#include "ui/ticktimer.h"

#include <QElapsedTimer>
#include <chrono>
#include <memory>

class QSocketNotifier;
class QTimer;

namespace dwellmark::ui {

/// Qt's side of the TickLoop: the timer whose timeouts are the ticks, and a
/// socket notifier on the feed's change descriptor.
class TickDriver final : private TickTimer {
public:
    /// Both must outlive the driver.
    TickDriver(QTimer& timer, ChangeFeed& changes, TickSource source);
    ~TickDriver();

    TickDriver(const TickDriver&) = delete;
    TickDriver& operator=(const TickDriver&) = delete;

    /// Whether the ticks follow the desktop's reports (false: every millisecond).
    bool followsDesktop() const { return m_loop.followsDesktop(); }

    /// Starts the ticks, with one at once.
    void start() { m_loop.start(); }
    /// Stops them for good.
    void stop() { m_loop.stop(); }
    /// To be called at the end of every tick.
    void ticked() { m_loop.ticked(); }

private:
    Time now() const override { return std::chrono::nanoseconds(m_clock.nsecsElapsed()); }
    void runTickIn(Time delay) override;
    void runTickEveryMillisecond() override;
    void stopTicks() override;
    bool tickWaiting() const override;
    bool watchDescriptor(int descriptor) override;
    void setDescriptorWatched(bool watched) override;

    QTimer& m_timer;
    QElapsedTimer m_clock;
    std::unique_ptr<QSocketNotifier> m_notifier;
    // Last: its reports may reach the members above from its constructor on.
    TickLoop m_loop;
};

} // namespace dwellmark::ui
