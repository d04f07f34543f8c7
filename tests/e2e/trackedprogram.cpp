// The program as it runs, inside a hardening test.
#include "trackedprogram.h"

#include "platform/platform.h"
#include "testdesktop.h"
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
      m_program(std::make_unique<app::QtProgram>(m_counting, m_windows, *m_clock, m_folder.path(), ticks)) {
    ui::MainWindow& form = m_program->mainWindow();
    form.show();
    // The window manager need not give a new window the focus: it is asked
    // to, as a pager would, until it has. The limit only catches a hang.
    TestDesktop desktop;
    int attempt = 0;
    const bool active = runUntil(
        [&] {
            if (attempt++ % 200 == 0) {
                desktop.requestActivation(static_cast<std::uint32_t>(form.winId()));
            }
            return form.isActiveWindow();
        },
        std::chrono::minutes(2));
    if (!active) {
        throw std::runtime_error("the main window did not become active");
    }
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
        return tracker().lastForeground() == static_cast<WindowHandle>(window);
    });
}

} // namespace dwellmark::testing
