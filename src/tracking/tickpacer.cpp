// The pacing rule of event-driven ticks.
#include "tickpacer.h"

#include <algorithm>

namespace dwellmark {

void TickPacer::changeReported(Milliseconds now) {
    m_next = std::min(m_next, std::max(now, m_lastTick + minimumGap));
}

void TickPacer::ticked(Milliseconds now, bool moreChanges) {
    m_lastTick = now;
    m_next = now + (moreChanges ? minimumGap : safetyInterval);
}

} // namespace dwellmark
