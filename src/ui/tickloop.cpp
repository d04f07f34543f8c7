// When the main window ticks: on the desktop's change reports, or every millisecond.
#include "ui/tickloop.h"

#include "ui/ticktimer.h"

#include <cstdio>

namespace dwellmark::ui {

TickLoop::TickLoop(ChangeFeed& changes, TickTimer& timer, TickSource source) : m_changes(changes), m_timer(timer) {
    if (source == TickSource::Timer) {
        return;
    }
    m_followsDesktop = m_changes.watchChanges(this);
    m_fellBack = !m_followsDesktop;
    if (m_fellBack) {
        // Once per run, however many windows fall back.
        static bool told = false;
        if (!told) {
            told = true;
            std::fputs(timerFallbackNotice.data(), stderr);
            std::fflush(stderr);
        }
    }
}

TickLoop::~TickLoop() {
    if (m_followsDesktop) {
        m_changes.watchChanges(nullptr);
    }
}

std::string_view TickLoop::notice() const {
    if (!m_fellBack) {
        return {};
    }
    // The window shows the line as it shows the desktop's other notices.
    constexpr std::string_view name = "dwellmark: ";
    static_assert(timerFallbackNotice.starts_with(name) && timerFallbackNotice.ends_with('\n'));
    std::string_view line = timerFallbackNotice;
    line.remove_prefix(name.size());
    line.remove_suffix(1);
    return line;
}

void TickLoop::start() {
    m_running = true;
    if (!m_followsDesktop) {
        m_timer.runTickEveryMillisecond();
        return;
    }
    m_pacer.emplace(m_timer.now(), m_changes.safetyTickInterval());
    arm();
}

void TickLoop::stop() {
    m_running = false;
    m_timer.stopTicks();
    m_timer.setDescriptorWatched(false);
}

void TickLoop::ticked() {
    if (!m_pacer || !m_running) {
        return;
    }
    m_pacer->ticked(m_timer.now(), m_changes.hasQueuedChanges());
    // The tick has read the descriptor: the next time it is readable is news.
    m_timer.setDescriptorWatched(true);
    arm();
}

void TickLoop::changeReported() {
    if (!m_pacer || !m_running) {
        return;
    }
    const TickPacer::Time before = m_pacer->nextTick();
    m_pacer->changeReported(m_timer.now());
    // A tick that waits already and is not brought forward sees the change too.
    if (m_pacer->nextTick() != before || !m_timer.tickWaiting()) {
        arm();
    }
}

bool TickLoop::watchDescriptor(int descriptor) {
    return m_timer.watchDescriptor(descriptor);
}

void TickLoop::descriptorReadable() {
    // What arrived may be of no interest (another property of the root window,
    // say): read, it is gone, and the watch goes on.
    if (!m_changes.readChanges()) {
        return;
    }
    // What is left stays readable until the tick reads it; one report is enough.
    m_timer.setDescriptorWatched(false);
    changeReported();
}

void TickLoop::arm() {
    m_timer.runTickIn(m_pacer->delay(m_timer.now()));
}

} // namespace dwellmark::ui
