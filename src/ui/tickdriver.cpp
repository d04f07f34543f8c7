// Runs the main window's timer as the desktop's change reports and the tick pacing rule say.
#include "tickdriver.h"

#include "tracking/windowsystem.h"

#include <QSocketNotifier>
#include <QTimer>
#include <cstdio>

namespace dwellmark::ui {

TickDriver::TickDriver(QTimer& timer, WindowSystem& windows, TickSource source) : m_timer(timer), m_windows(windows) {
    m_clock.start();
    m_timer.setTimerType(Qt::PreciseTimer);
    if (source == TickSource::Timer) {
        return;
    }
    if (const int descriptor = m_windows.changeDescriptor(); descriptor >= 0) {
        m_notifier = std::make_unique<QSocketNotifier>(descriptor, QSocketNotifier::Read);
        m_notifier->setEnabled(false);
        QObject::connect(m_notifier.get(), &QSocketNotifier::activated, m_notifier.get(), [this] {
            // Until the tick reads the descriptor it stays readable; one report is enough.
            m_notifier->setEnabled(false);
            changeReported();
        });
    } else if (m_windows.setChangeListener([this] { changeReported(); })) {
        m_listening = true;
    } else {
        static bool told = false;
        if (!told) {
            told = true;
            std::fputs(timerFallbackNotice.data(), stderr);
        }
        return;
    }
    m_pacer.emplace(now());
}

TickDriver::~TickDriver() {
    if (m_listening) {
        m_windows.setChangeListener({});
    }
}

void TickDriver::start() {
    m_running = true;
    if (!m_pacer) {
        m_timer.setSingleShot(false);
        m_timer.setInterval(1);
        m_timer.start();
        return;
    }
    m_timer.setSingleShot(true);
    arm();
}

void TickDriver::stop() {
    m_running = false;
    m_timer.stop();
    if (m_notifier) {
        m_notifier->setEnabled(false);
    }
}

void TickDriver::ticked() {
    if (!m_pacer || !m_running) {
        return;
    }
    m_pacer->ticked(now(), m_windows.hasQueuedChanges());
    if (m_notifier) {
        m_notifier->setEnabled(true);
    }
    arm();
}

void TickDriver::changeReported() {
    if (!m_running) {
        return;
    }
    const TickPacer::Milliseconds before = m_pacer->nextTick();
    m_pacer->changeReported(now());
    if (m_pacer->nextTick() != before || !m_timer.isActive()) {
        arm();
    }
}

void TickDriver::arm() {
    m_timer.start(static_cast<int>(m_pacer->delay(now())));
}

} // namespace dwellmark::ui
