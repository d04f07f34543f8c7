// The program as it runs, inside a hardening test.
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
      m_program(std::make_unique<app::Program>(m_counting, *m_clock, m_folder.path(), ticks)) {
    m_program->form().show();
    // The limit only catches a hang, also on a loaded machine.
    if (!QTest::qWaitForWindowActive(&m_program->form(), 120'000)) {
        throw std::runtime_error("the main window did not become active");
    }
}

TrackedProgram::~TrackedProgram() = default;

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
        return tracker().lastForeground() == static_cast<WindowHandle>(window);
    });
}

} // namespace dwellmark::testing
