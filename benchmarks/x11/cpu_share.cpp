// The CPU share of a program whose Qt timer fires every millisecond, for the
// same wall time each: the bare timer, the timer ticking an ActivityTracker
// with the X11 backend (a tick without a change), and the timer asking the X
// server for _NET_ACTIVE_WINDOW on every tick. Also the X server's share,
// when it is the Xvfb that with-display started beside this program.
//   with-display x11_cpu_share [seconds per variant, default 10] [rows, default 3]
#include "benchdesktop.h"

#include <QCoreApplication>
#include <QTimer>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <dirent.h>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>
#include <sys/resource.h>
#include <unistd.h>

namespace {

double processSeconds() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    const auto seconds = [](const timeval& t) {
        return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_usec) / 1e6;
    };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

// Field n (1-based) of /proc/PID/stat, after the command name in parentheses.
std::string statField(pid_t pid, int n) {
    std::ifstream file("/proc/" + std::to_string(pid) + "/stat");
    std::string text((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    const auto close = text.rfind(')');
    if (close == std::string::npos) {
        return {};
    }
    std::istringstream rest(text.substr(close + 2));
    std::string field;
    for (int i = 3; i <= n && rest >> field; ++i) {
    }
    return field;
}

std::string commandName(pid_t pid) {
    std::ifstream file("/proc/" + std::to_string(pid) + "/comm");
    std::string name;
    std::getline(file, name);
    return name;
}

// The Xvfb started by the same with-display run: a sibling of this process.
pid_t siblingXServer() {
    const pid_t parent = getppid();
    DIR* proc = opendir("/proc");
    pid_t found = 0;
    while (dirent* entry = proc != nullptr ? readdir(proc) : nullptr) {
        const pid_t pid = static_cast<pid_t>(std::atoi(entry->d_name));
        if (pid > 0 && commandName(pid) == "Xvfb" && statField(pid, 4) == std::to_string(parent)) {
            found = pid;
        }
    }
    if (proc != nullptr) {
        closedir(proc);
    }
    return found;
}

double serverSeconds(pid_t server) {
    if (server == 0) {
        return 0.0;
    }
    const double ticks = std::atof(statField(server, 14).c_str()) + std::atof(statField(server, 15).c_str());
    return ticks / static_cast<double>(sysconf(_SC_CLK_TCK));
}

struct Share {
    double ticksPerSecond;
    double process;
    double server;
};

Share run(QCoreApplication& app, double seconds, pid_t server, const std::function<void()>& tick) {
    long ticks = 0;
    QTimer timer;
    timer.setInterval(1);
    QObject::connect(&timer, &QTimer::timeout, [&] {
        tick();
        ++ticks;
    });
    const double cpuBefore = processSeconds();
    const double serverBefore = serverSeconds(server);
    const auto start = std::chrono::steady_clock::now();
    timer.start();
    QTimer::singleShot(static_cast<int>(seconds * 1000), &app, &QCoreApplication::quit);
    app.exec();
    timer.stop();
    const double wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    return {static_cast<double>(ticks) / wall, 100.0 * (processSeconds() - cpuBefore) / wall,
            100.0 * (serverSeconds(server) - serverBefore) / wall};
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const double seconds = argc > 1 ? std::atof(argv[1]) : 10.0;
    const int rows = argc > 2 ? std::atoi(argv[2]) : 3;
    dwellmark::bench::BenchDesktop desktop(rows);
    const pid_t server = siblingXServer();

    const Share bare = run(app, seconds, server, [] {});
    const Share tracker = run(app, seconds, server, [&] { desktop.tracker().tmrMain_Timer(); });
    const Share roundTrip = run(app, seconds, server, [&] { desktop.activeWindowByRoundTrip(); });

    std::printf("%.0f s per variant, %zu open-interval rows; CPU share in %% of one core%s\n", seconds,
                desktop.tracker().lvwHidden().rowCount(), server == 0 ? " (X server not found)" : "");
    std::printf("%-34s %10s %10s %10s\n", "variant", "ticks/s", "program", "X server");
    const auto line = [](const char* name, const Share& s) {
        std::printf("%-34s %10.0f %9.2f%% %9.2f%%\n", name, s.ticksPerSecond, s.process, s.server);
    };
    line("bare 1 ms timer", bare);
    line("tracker tick, X11 backend", tracker);
    line("round trip per tick", roundTrip);
    std::printf("%-34s %10s %9.2f%% %9.2f%%\n", "backend over bare timer", "", tracker.process - bare.process,
                tracker.server - bare.server);
    return 0;
}
