// The test side of the x11_test_window program: many windows of another process.
#include "windowfarm.h"

#include "privatedisplay.h"

#include <sstream>
#include <stdexcept>

namespace dwellmark::testing {

namespace {

std::vector<std::string> environmentFor(const std::string& display) {
    if (display.empty()) {
        return {};
    }
    return PrivateDisplay::sessionEnvironment(display);
}

} // namespace

WindowFarm::WindowFarm(const std::string& display)
    : m_process({X11_TEST_WINDOW, "--no-window"}, environmentFor(display)) {}

std::string WindowFarm::call(const std::string& command, const Idle& idle) {
    m_process.writeLine(command);
    std::string answer = finish(idle);
    const bool failed =
        command.starts_with("create") ? answer.empty() || answer.starts_with("unknown") : !answer.starts_with("ok");
    if (failed) {
        throw std::runtime_error("x11_test_window: " + command + ": " + answer);
    }
    return answer;
}

std::vector<std::uint32_t> WindowFarm::create(unsigned count, std::string_view prefix, const Idle& idle,
                                              unsigned mapEvery) {
    std::istringstream ids(
        call("create " + std::to_string(count) + " " + std::string(prefix) + " " + std::to_string(mapEvery), idle));
    std::vector<std::uint32_t> windows;
    std::uint32_t id = 0;
    while (ids >> id) {
        windows.push_back(id);
    }
    if (windows.size() != count) {
        throw std::runtime_error("x11_test_window made " + std::to_string(windows.size()) + " windows, not " +
                                 std::to_string(count));
    }
    return windows;
}

void WindowFarm::activate(std::uint32_t window, const Idle& idle) {
    call("activate " + std::to_string(window), idle);
}

void WindowFarm::setTitle(std::uint32_t window, std::string_view title, const Idle& idle) {
    call("title " + std::to_string(window) + " " + std::string(title), idle);
}

void WindowFarm::destroy(const std::vector<std::uint32_t>& windows, const Idle& idle) {
    std::string command = "destroy";
    for (const std::uint32_t window : windows) {
        command += " " + std::to_string(window);
    }
    call(command, idle);
}

void WindowFarm::destroyAll(const Idle& idle) {
    call("destroy all", idle);
}

void WindowFarm::startSpin(std::uint32_t window, unsigned count) {
    m_process.writeLine("spin " + std::to_string(window) + " " + std::to_string(count));
}

void WindowFarm::startChurn(std::chrono::milliseconds duration, unsigned seed) {
    m_process.writeLine("churn " + std::to_string(duration.count()) + " " + std::to_string(seed));
}

std::string WindowFarm::finish(const Idle& idle, std::chrono::milliseconds timeout) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (std::chrono::steady_clock::now() < deadline) {
        // A wait of 2 ms looks at the pipe for at least one whole millisecond.
        if (auto line = m_process.readLine(std::chrono::milliseconds(idle ? 2 : 100))) {
            return *line;
        }
        if (idle) {
            idle();
        }
    }
    throw std::runtime_error("x11_test_window gave no answer in time");
}

} // namespace dwellmark::testing
