// Runs the main window's timer as the desktop's change reports and the tick pacing rule say.
#pragma once

#include "tracking/tickpacer.h"

#include <QElapsedTimer>
#include <memory>
#include <optional>

class QSocketNotifier;
class QTimer;

namespace dwellmark {
class WindowSystem;
}

namespace dwellmark::ui {

/// Starts and stops the timer whose timeouts are the ticks. With desktop
/// events as the source, the timer is armed once for each tick that
/// TickPacer asks for, on the backend's change descriptor or change listener;
/// without those, or with the timer as the source, it runs every millisecond.
class TickDriver final {
public:
    /// Both must outlive the driver.
    TickDriver(QTimer& timer, WindowSystem& windows, TickSource source);
    ~TickDriver();

    TickDriver(const TickDriver&) = delete;
    TickDriver& operator=(const TickDriver&) = delete;

    /// Whether the ticks follow the desktop's reports (false: every millisecond).
    bool followsDesktop() const { return m_pacer.has_value(); }

    /// Starts the ticks, with one at once.
    void start();
    /// Stops them for good.
    void stop();
    /// To be called at the end of every tick.
    void ticked();

private:
    void changeReported();
    void arm();
    TickPacer::Milliseconds now() const { return m_clock.elapsed(); }

    QTimer& m_timer;
    WindowSystem& m_windows;
    QElapsedTimer m_clock;
    std::optional<TickPacer> m_pacer;
    std::unique_ptr<QSocketNotifier> m_notifier;
    bool m_listening = false;
    bool m_running = false;
};

} // namespace dwellmark::ui
