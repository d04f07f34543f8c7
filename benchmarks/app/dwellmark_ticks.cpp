// Dwellmark as the program runs it, with its ticks counted into the file named
// on the command line. It runs until its window is closed or it is sent SIGTERM.
//   bench_dwellmark_ticks TICK-COUNT-FILE
#include "app/program.h"
#include "countingwindowsystem.h"
#include "sharedtickcount.h"

#include <QByteArray>
#include <cstdio>
#include <memory>
#include <stdexcept>

int main(int argc, char* argv[]) {
    if (argc != 2) {
        std::fputs("usage: bench_dwellmark_ticks TICK-COUNT-FILE\n", stderr);
        return 2;
    }
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", QByteArrayLiteral("xcb"));
    }
    std::unique_ptr<dwellmark::bench::SharedTickCount> ticks;
    try {
        ticks = std::make_unique<dwellmark::bench::SharedTickCount>(argv[1]);
    } catch (const std::exception& failure) {
        std::fprintf(stderr, "bench_dwellmark_ticks: %s\n", failure.what());
        return 1;
    }
    std::unique_ptr<dwellmark::testing::CountingWindowSystem> counted;
    return dwellmark::app::run(argc, argv, [&](dwellmark::WindowSystem& backend) -> dwellmark::WindowSystem& {
        counted = std::make_unique<dwellmark::testing::CountingWindowSystem>(backend, [&] { ticks->increment(); });
        return *counted;
    });
}
