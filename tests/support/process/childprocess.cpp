// A program run by a test, with its standard streams on pipes, and waiting for states.
#include "childprocess.h"

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <poll.h>
#include <stdexcept>
#include <sys/wait.h>
#include <unistd.h>

namespace dwellmark::testing {

namespace {

void makePipe(int ends[2]) {
    if (pipe2(ends, O_CLOEXEC) != 0) {
        throw std::runtime_error("pipe failed");
    }
}

void closeIfOpen(int& fd) {
    if (fd >= 0) {
        close(fd);
        fd = -1;
    }
}

} // namespace

ChildProcess::ChildProcess(const std::vector<std::string>& arguments, const std::vector<std::string>& environment) {
    int input[2];
    int output[2];
    int error[2];
    makePipe(input);
    makePipe(output);
    makePipe(error);
    std::vector<char*> argv;
    for (const auto& argument : arguments) {
        argv.push_back(const_cast<char*>(argument.c_str()));
    }
    argv.push_back(nullptr);

    m_pid = fork();
    if (m_pid < 0) {
        throw std::runtime_error("fork failed");
    }
    if (m_pid == 0) {
        dup2(input[0], STDIN_FILENO);
        dup2(output[1], STDOUT_FILENO);
        dup2(error[1], STDERR_FILENO);
        for (const auto& entry : environment) {
            if (entry.starts_with('-')) {
                unsetenv(entry.c_str() + 1);
            } else {
                putenv(const_cast<char*>(entry.c_str()));
            }
        }
        execv(argv[0], argv.data());
        _exit(127);
    }
    close(input[0]);
    close(output[1]);
    close(error[1]);
    m_input = input[1];
    m_output = output[0];
    m_error = error[0];
    // Read without waiting: the child, or anything it started, may hold the
    // pipe open long after the test wants to say what it wrote.
    fcntl(m_error, F_SETFL, fcntl(m_error, F_GETFL) | O_NONBLOCK);
}

ChildProcess::~ChildProcess() {
    closeIfOpen(m_input);
    if (!m_reaped) {
        kill(m_pid, SIGKILL);
        int status = 0;
        waitpid(m_pid, &status, 0);
    }
    closeIfOpen(m_output);
    closeIfOpen(m_error);
}

std::optional<std::string> ChildProcess::readLine(std::chrono::milliseconds timeout) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (true) {
        if (const auto newline = m_pending.find('\n'); newline != std::string::npos) {
            std::string line = m_pending.substr(0, newline);
            m_pending.erase(0, newline + 1);
            return line;
        }
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0 || m_output < 0) {
            return std::nullopt;
        }
        pollfd ready{m_output, POLLIN, 0};
        if (poll(&ready, 1, static_cast<int>(left.count())) <= 0) {
            continue;
        }
        char buffer[4096];
        const ssize_t n = read(m_output, buffer, sizeof buffer);
        if (n <= 0) {
            closeIfOpen(m_output);
            return std::nullopt;
        }
        m_pending.append(buffer, static_cast<std::size_t>(n));
    }
}

void ChildProcess::writeLine(std::string_view line) {
    std::string text(line);
    text.push_back('\n');
    if (write(m_input, text.data(), text.size()) != static_cast<ssize_t>(text.size())) {
        throw std::runtime_error("writing to a child process failed");
    }
}

bool ChildProcess::reaches(const std::function<bool()>& state, std::chrono::milliseconds timeout) {
    bool ended = false;
    const bool reached = eventually(
        [&] {
            ended = waitForExit(std::chrono::milliseconds(0)).has_value();
            return ended || state();
        },
        timeout);
    return reached && !ended;
}

std::optional<int> ChildProcess::waitForExit(std::chrono::milliseconds timeout) {
    int status = 0;
    // Drained meanwhile, so that a child that says much is not stopped by a full pipe.
    const bool ended = eventually(
        [&] {
            drainErrorOutput();
            return waitpid(m_pid, &status, WNOHANG) == m_pid;
        },
        timeout);
    if (!ended) {
        return std::nullopt;
    }
    m_reaped = true;
    return status;
}

std::string ChildProcess::errorOutput() {
    drainErrorOutput();
    return m_errorText;
}

void ChildProcess::drainErrorOutput() {
    char buffer[4096];
    while (m_error >= 0) {
        const ssize_t n = read(m_error, buffer, sizeof buffer);
        if (n > 0) {
            m_errorText.append(buffer, static_cast<std::size_t>(n));
        } else if (n < 0 && errno == EINTR) {
            continue;
        } else {
            if (n == 0) {
                closeIfOpen(m_error);
            }
            return;
        }
    }
}

} // namespace dwellmark::testing
