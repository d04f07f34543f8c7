#include "xvfbserver.h"

#include <csignal>
#include <fcntl.h>
#include <poll.h>
#include <stdexcept>
#include <sys/wait.h>
#include <unistd.h>

namespace dwellmark::testing {

XvfbServer::XvfbServer(const std::vector<std::string>& extraArguments) {
    int ready[2];
    if (pipe(ready) != 0) {
        throw std::runtime_error("pipe failed");
    }
    std::vector<std::string> arguments{
        "Xvfb", "-displayfd", std::to_string(ready[1]), "-screen", "0", "800x600x24", "-nolisten", "tcp", "-noreset"};
    arguments.insert(arguments.end(), extraArguments.begin(), extraArguments.end());
    std::vector<char*> argv;
    for (auto& argument : arguments) {
        argv.push_back(argument.data());
    }
    argv.push_back(nullptr);

    m_pid = fork();
    if (m_pid < 0) {
        throw std::runtime_error("fork failed");
    }
    if (m_pid == 0) {
        close(ready[0]);
        const int quiet = open("/dev/null", O_WRONLY);
        dup2(quiet, STDOUT_FILENO);
        dup2(quiet, STDERR_FILENO);
        execvp("Xvfb", argv.data());
        _exit(127);
    }
    close(ready[1]);
    // Xvfb writes its display number once it accepts connections.
    std::string number;
    pollfd readable{ready[0], POLLIN, 0};
    char c = 0;
    while (poll(&readable, 1, 20'000) > 0 && read(ready[0], &c, 1) == 1 && c != '\n') {
        number.push_back(c);
    }
    close(ready[0]);
    if (number.empty()) {
        kill();
        throw std::runtime_error("Xvfb did not start");
    }
    m_display = ":" + number;
}

XvfbServer::~XvfbServer() {
    kill();
}

void XvfbServer::kill() {
    if (m_pid > 0) {
        ::kill(m_pid, SIGKILL);
        int status = 0;
        waitpid(m_pid, &status, 0);
        m_pid = -1;
    }
}

} // namespace dwellmark::testing
