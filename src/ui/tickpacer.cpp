// The pacing rule of event-driven ticks.
#include "tickpacer.h"

#include <algorithm>

namespace dwellmark {

void TickPacer::changeReported(Time now) {
    m_next = std::min(m_next, std::max(now, allowed()));
}

void TickPacer::ticked(Time now, bool moreChanges) {
    // A full allowance grows no more: what it held beyond burst ticks is not kept.
    m_emptyAt = std::max(m_emptyAt, now - burst * refill) + refill;
    m_next = moreChanges ? std::max(now, allowed()) : now + m_safety;
}

} // namespace dwellmark
