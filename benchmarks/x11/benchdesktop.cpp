// A tracker on the real desktop, for the X11 backend's micro-benchmarks.
#include "benchdesktop.h"

#include "childprocess.h"
#include "platform/platform.h"

#include <stdexcept>
#include <string>

namespace dwellmark::bench {

BenchDesktop::BenchDesktop(int windows) {
    m_windows = platform::createWindowSystem();
    m_clock = platform::createClock();
    m_tracker = std::make_unique<ActivityTracker>(*m_windows, *m_clock);
    for (int i = 0; i < windows; ++i) {
        const std::uint32_t id = m_desktop.createWindow("Window " + std::to_string(i + 1), true);
        m_ids.push_back(id);
        activate(id);
        m_tracker->tick();
    }
}

void BenchDesktop::activate(std::uint32_t window) {
    int attempt = 0;
    const bool active = testing::eventually([&] {
        if (attempt++ % 50 == 0) {
            m_desktop.requestActivation(window);
        }
        m_windows->beginTick();
        return m_windows->foregroundWindow() == static_cast<WindowHandle>(window);
    });
    if (!active) {
        throw std::runtime_error("the window manager did not activate a window");
    }
}

} // namespace dwellmark::bench
