#include "countingwindowsystem.h"

namespace dwellmark::bench {

WindowHandle CountingWindowSystem::foregroundWindow() {
    m_ticks.increment();
    return m_inner.foregroundWindow();
}

} // namespace dwellmark::bench
