#include "trackedprogram.h"

#include "platform/platform.h"
#include "windowfarm.h"

#include <QTest>
#include <cstdlib>
#include <stdexcept>

namespace dwellmark::testing {

namespace {

std::string displayName() {
    const char* display = std::getenv("DISPLAY");
    if (display == nullptr) {
        throw std::runtime_error("DISPLAY is not set");
    }
    return display;
}

} // namespace

TrackedProgram::TrackedProgram(TickSource ticks)
    : m_windows(displayName()), m_clock(platform::createClock()),
      m_tracker(std::make_unique<ActivityTracker>(m_counting, *m_clock)) {
    m_form = std::make_unique<ui::Form1>(*m_tracker, m_folder.path(), ticks);
    m_form->show();
    if (!QTest::qWaitForWindowActive(m_form.get())) {
        throw std::runtime_error("the main window did not become active");
    }
}

TrackedProgram::~TrackedProgram() {
    m_form.reset();
}

void TrackedProgram::idle() {
    QTest::qWait(1);
}

bool TrackedProgram::runUntil(const std::function<bool()>& condition, std::chrono::milliseconds timeout) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (!condition()) {
        if (std::chrono::steady_clock::now() > deadline) {
            return false;
        }
        idle();
    }
    return true;
}

bool TrackedProgram::activate(WindowFarm& farm, std::uint32_t window) {
    int attempt = 0;
    return runUntil([&] {
        if (attempt++ % 200 == 0) {
            farm.activate(window, &TrackedProgram::idle);
        }
        return m_tracker->lastForeground() == static_cast<WindowHandle>(window);
    });
}

} // namespace dwellmark::testing
