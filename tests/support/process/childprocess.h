// A program run by a test, with its standard streams on pipes, and waiting for states.
#pragma once

#include <chrono>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <sys/types.h>
#include <thread>
#include <vector>

namespace dwellmark::testing {

/// A program run by a test, with its standard input, output and error on
/// pipes. It is killed and reaped when the object goes, whatever happened.
class ChildProcess final {
public:
    /// Starts the program; environment entries "NAME=VALUE" are set and
    /// "-NAME" removed on top of the test's own environment.
    explicit ChildProcess(const std::vector<std::string>& arguments, const std::vector<std::string>& environment = {});
    ~ChildProcess();

    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    pid_t pid() const { return m_pid; }

    /// The next line of its standard output (without the newline), or nothing
    /// when none comes within the time or the output ends.
    std::optional<std::string> readLine(std::chrono::milliseconds timeout);

    void writeLine(std::string_view line);

    /// Its wait status once it has ended within the time; nothing otherwise.
    std::optional<int> waitForExit(std::chrono::milliseconds timeout);

    /// Polls the state while the program runs: whether it came within the
    /// time before the program ended (a server's readiness, for example).
    bool reaches(const std::function<bool()>& state, std::chrono::milliseconds timeout);

    /// Everything it has written to standard error so far: what is in the
    /// pipe is read without waiting, so that a failure message can include it
    /// while the program still runs (or something it started keeps the pipe).
    std::string errorOutput();

private:
    void drainErrorOutput();

    pid_t m_pid = -1;
    int m_input = -1;
    int m_output = -1;
    int m_error = -1;
    std::string m_pending;
    std::string m_errorText;
    bool m_reaped = false;
};

/// Polls the condition until it holds or the time is up; the default limit
/// only catches a hang, also on a loaded machine.
template <class Condition>
bool eventually(Condition condition, std::chrono::milliseconds timeout = std::chrono::seconds(60)) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (!condition()) {
        if (std::chrono::steady_clock::now() > deadline) {
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    return true;
}

/// Polls the condition as eventually() does, making the request after the
/// first poll that fails and again every `every` polls: for requests that may
/// be dropped, as one about a window that the desktop has not taken on yet.
template <class Request, class Condition>
bool eventuallyAsking(Request request, unsigned every, Condition condition,
                      std::chrono::milliseconds timeout = std::chrono::seconds(60)) {
    unsigned polls = 0;
    return eventually(
        [&] {
            if (condition()) {
                return true;
            }
            if (polls++ % every == 0) {
                request();
            }
            return false;
        },
        timeout);
}

} // namespace dwellmark::testing
