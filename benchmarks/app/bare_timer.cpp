// The floor of the CPU comparison: a Qt program made as Dwellmark is (a
// QApplication on the xcb platform) whose only work is a precise 1 ms timer.
// It counts its ticks into the file named on the command line and runs until
// it is sent SIGTERM.
//   bench_bare_timer TICK-COUNT-FILE
#include "sharedtickcount.h"

#include <QApplication>
#include <QTimer>
#include <cstdio>
#include <exception>

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fputs("usage: bench_bare_timer TICK-COUNT-FILE\n", stderr);
        return 2;
    }
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", QByteArrayLiteral("xcb"));
    }
    try {
        dwellmark::bench::SharedTickCount ticks(argv[1]);
        QApplication app(argc, argv);
        QTimer timer;
        timer.setTimerType(Qt::PreciseTimer);
        timer.setInterval(1);
        QObject::connect(&timer, &QTimer::timeout, [&ticks] { ticks.increment(); });
        timer.start();
        return app.exec();
    } catch (const std::exception& failure) {
        std::fprintf(stderr, "bench_bare_timer: %s\n", failure.what());
        return 1;
    }
}
