// What the measuring tools read of and do to the processes they measure.
#include "process.h"

#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <spawn.h>
#include <sstream>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

extern char** environ;

namespace dwellmark::bench {

double processCpuSeconds(pid_t pid) {
    std::ifstream file("/proc/" + std::to_string(pid) + "/stat");
    const std::string text((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    // The command name in parentheses may hold spaces and parentheses itself.
    const auto close = text.rfind(')');
    if (close == std::string::npos) {
        return -1.0;
    }
    std::istringstream rest(text.substr(close + 1));
    std::string field;
    // Fields after the name start at number 3; utime is 14 and stime 15.
    for (int number = 3; number < 14 && rest >> field; ++number) {
    }
    double user = 0.0;
    double system = 0.0;
    if (!(rest >> user >> system)) {
        return -1.0;
    }
    return (user + system) / static_cast<double>(sysconf(_SC_CLK_TCK));
}

std::map<long, ThreadUse> threadUse(pid_t pid) {
    std::map<long, ThreadUse> threads;
    const std::filesystem::path tasks = "/proc/" + std::to_string(pid) + "/task";
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(tasks, error)) {
        ThreadUse use;
        std::ifstream schedstat(entry.path() / "schedstat");
        double nanoseconds = 0.0;
        if (!(schedstat >> nanoseconds)) {
            continue;
        }
        use.runSeconds = nanoseconds / 1e9;
        std::ifstream status(entry.path() / "status");
        std::string line;
        while (std::getline(status, line)) {
            if (line.rfind("voluntary_ctxt_switches:", 0) == 0) {
                use.voluntarySwitches = std::stol(line.substr(24));
            }
        }
        threads[std::stol(entry.path().filename().string())] = use;
    }
    return threads;
}

ThreadUse usedBetween(const std::map<long, ThreadUse>& before, const std::map<long, ThreadUse>& after) {
    ThreadUse used;
    for (const auto& [thread, use] : after) {
        const auto earlier = before.find(thread);
        const ThreadUse start = earlier != before.end() ? earlier->second : ThreadUse{};
        used.runSeconds += use.runSeconds - start.runSeconds;
        used.voluntarySwitches += use.voluntarySwitches - start.voluntarySwitches;
    }
    return used;
}

pid_t start(char** command) {
    pid_t child = 0;
    if (const int failure = posix_spawn(&child, command[0], nullptr, nullptr, command, environ); failure != 0) {
        std::fprintf(stderr, "cannot start %s: %s\n", command[0], std::strerror(failure));
        return 0;
    }
    return child;
}

bool stillRunning(pid_t child) {
    int status = 0;
    return waitpid(child, &status, WNOHANG) == 0;
}

void stop(pid_t child) {
    kill(child, SIGTERM);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (stillRunning(child)) {
        if (std::chrono::steady_clock::now() > deadline) {
            kill(child, SIGKILL);
            waitpid(child, nullptr, 0);
            return;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
}

} // namespace dwellmark::bench
