// Runs a program and measures, over a window of wall time after a warm-up,
// the CPU time it uses (also as the scheduler counts it, run_s, which is fine
// enough for a program that nearly always sleeps), how often it woke up, the
// CPU time the X server uses beside it, and (for a program that counts its
// ticks into a shared file) the ticks it reaches. Then ends the program with
// SIGTERM, after --linger seconds more (so that what happened in the window
// is given time to be noticed). Prints one line, with the window's ends on
// CLOCK_MONOTONIC (the clock of the switch and notice files), in nanoseconds:
//   wall_s=... cpu_s=... run_s=... wakeups=... xserver_s=... ticks=... start_ns=... end_ns=...
//   bench_cpu_share --xserver PID [--warmup S] [--seconds S] [--linger S] [--ticks FILE] -- PROGRAM [ARGS...]
#include "process.h"
#include "sharedtickcount.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <sys/wait.h>
#include <thread>

namespace {

using Clock = std::chrono::steady_clock;
using namespace dwellmark::bench;

struct Options {
    pid_t xserver = 0;
    double warmup = 2.0;
    double seconds = 10.0;
    double linger = 0.0;
    std::string ticksFile;
    char** command = nullptr;
};

bool parse(int argc, char** argv, Options& options) {
    for (int i = 1; i < argc; ++i) {
        const std::string option = argv[i];
        if (option == "--") {
            options.command = i + 1 < argc ? argv + i + 1 : nullptr;
            break;
        }
        if (i + 1 >= argc) {
            return false;
        }
        const char* value = argv[++i];
        if (option == "--xserver") {
            options.xserver = static_cast<pid_t>(std::atol(value));
        } else if (option == "--warmup") {
            options.warmup = std::atof(value);
        } else if (option == "--seconds") {
            options.seconds = std::atof(value);
        } else if (option == "--linger") {
            options.linger = std::atof(value);
        } else if (option == "--ticks") {
            options.ticksFile = value;
        } else {
            return false;
        }
    }
    return options.command != nullptr && options.xserver > 0 && options.seconds > 0.0 && options.warmup >= 0.0 &&
           options.linger >= 0.0;
}

} // namespace

int main(int argc, char** argv) {
    Options options;
    if (!parse(argc, argv, options)) {
        std::fputs("usage: bench_cpu_share --xserver PID [--warmup S] [--seconds S] [--linger S] [--ticks FILE] -- "
                   "PROGRAM [ARGS...]\n",
                   stderr);
        return 2;
    }
    if (processCpuSeconds(options.xserver) < 0.0) {
        std::fprintf(stderr, "bench_cpu_share: no process %d to read\n", static_cast<int>(options.xserver));
        return 1;
    }
    std::unique_ptr<SharedTickCount> ticks;
    if (!options.ticksFile.empty()) {
        ticks = std::make_unique<SharedTickCount>(options.ticksFile);
    }

    const pid_t child = start(options.command);
    if (child == 0) {
        return 1;
    }
    std::this_thread::sleep_for(std::chrono::duration<double>(options.warmup));

    const auto start = Clock::now();
    const double cpuStart = processCpuSeconds(child);
    const auto threadsStart = threadUse(child);
    const double serverStart = processCpuSeconds(options.xserver);
    const std::uint64_t ticksStart = ticks ? ticks->value() : 0;

    std::this_thread::sleep_until(
        start + std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(options.seconds)));

    const auto end = Clock::now();
    const double wall = std::chrono::duration<double>(end - start).count();
    const double cpuEnd = processCpuSeconds(child);
    const ThreadUse used = usedBetween(threadsStart, threadUse(child));
    const double serverEnd = processCpuSeconds(options.xserver);
    const std::uint64_t ticksEnd = ticks ? ticks->value() : 0;
    if (!stillRunning(child) || cpuStart < 0.0 || cpuEnd < 0.0) {
        std::fprintf(stderr, "bench_cpu_share: %s ended before the measurement did\n", options.command[0]);
        waitpid(child, nullptr, 0);
        return 1;
    }
    std::this_thread::sleep_for(std::chrono::duration<double>(options.linger));
    stop(child);

    const auto nanoseconds = [](Clock::time_point at) {
        return static_cast<long long>(std::chrono::nanoseconds(at.time_since_epoch()).count());
    };
    std::printf("wall_s=%.3f cpu_s=%.3f run_s=%.6f wakeups=%ld xserver_s=%.3f ticks=%llu start_ns=%lld end_ns=%lld\n",
                wall, cpuEnd - cpuStart, used.runSeconds, used.voluntarySwitches, serverEnd - serverStart,
                static_cast<unsigned long long>(ticksEnd - ticksStart), nanoseconds(start), nanoseconds(end));
    return 0;
}
