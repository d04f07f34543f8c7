// Dwellmark as the program starts it (the same application object, backend,
// tracker and main window), with its ticks counted into the file named on the
// command line. It runs until its window is closed or it is sent SIGTERM.
//   bench_dwellmark_ticks TICK-COUNT-FILE
#include "app/application.h"
#include "countingwindowsystem.h"
#include "platform/platform.h"
#include "sharedtickcount.h"
#include "tracking/activitytracker.h"
#include "ui/qt/form1.h"

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
    std::unique_ptr<dwellmark::WindowSystem> windows;
    std::unique_ptr<dwellmark::TimeOfDayClock> clock;
    try {
        ticks = std::make_unique<dwellmark::bench::SharedTickCount>(argv[1]);
        windows = dwellmark::platform::createWindowSystem();
        clock = dwellmark::platform::createClock();
    } catch (const std::exception& failure) {
        std::fprintf(stderr, "bench_dwellmark_ticks: %s\n", failure.what());
        return 1;
    }
    dwellmark::bench::CountingWindowSystem counted(*windows, *ticks);

    dwellmark::app::Application app(argc, argv);
    dwellmark::ActivityTracker tracker(counted, *clock);
    dwellmark::ui::Form1 form(tracker, QCoreApplication::applicationDirPath());
    QObject::connect(&form, &dwellmark::ui::Form1::unloaded, &app, &QCoreApplication::quit);
    form.show();
    return app.exec();
}
