// The main window's ticks on Qt: a timer, and a socket notifier on the backend's change descriptor.
#include "tickdriver.h"

#include <QSocketNotifier>
#include <QTimer>

namespace dwellmark::ui {

namespace {

QElapsedTimer started() {
    QElapsedTimer clock;
    clock.start();
    return clock;
}

} // namespace

TickDriver::TickDriver(QTimer& timer, ChangeFeed& changes, TickSource source)
    : m_timer(timer), m_clock(started()), m_loop(changes, *this, source) {
    m_timer.setTimerType(Qt::PreciseTimer);
}

TickDriver::~TickDriver() = default;

void TickDriver::runTickIn(Time delay) {
    // Qt's timers count whole milliseconds: rounded up, the tick is never early.
    m_timer.setSingleShot(true);
    m_timer.start(std::chrono::ceil<std::chrono::milliseconds>(delay));
}

void TickDriver::runTickEveryMillisecond() {
    m_timer.setSingleShot(false);
    m_timer.setInterval(1);
    m_timer.start();
}

void TickDriver::stopTicks() {
    m_timer.stop();
}

bool TickDriver::tickWaiting() const {
    return m_timer.isActive();
}

bool TickDriver::watchDescriptor(int descriptor) {
    m_notifier = std::make_unique<QSocketNotifier>(descriptor, QSocketNotifier::Read);
    m_notifier->setEnabled(false);
    QObject::connect(m_notifier.get(), &QSocketNotifier::activated, m_notifier.get(),
                     [this] { m_loop.descriptorReadable(); });
    return true;
}

void TickDriver::setDescriptorWatched(bool watched) {
    if (m_notifier) {
        m_notifier->setEnabled(watched);
    }
}

} // namespace dwellmark::ui
