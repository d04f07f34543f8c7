// Dwellmark: records which window holds the foreground, and for how long.

#include "application.h"
#include "platform/platform.h"
#include "tracking/activitytracker.h"
#include "ui/form1.h"

#include <cstdio>
#include <memory>

#ifdef DWELLMARK_X11_GLUE
#include "x11glue.h"
#endif

int main(int argc, char* argv[]) {
#ifdef DWELLMARK_X11_GLUE
    dwellmark::app::prepareQtForX11();
#endif

    // The desktop is reached before the windows are made, so that a missing
    // display is one line on standard error instead of Qt's abort.
    std::unique_ptr<dwellmark::WindowSystem> windows;
    std::unique_ptr<dwellmark::TimeOfDayClock> clock;
    try {
        windows = dwellmark::platform::createWindowSystem();
        clock = dwellmark::platform::createClock();
    } catch (const dwellmark::platform::PlatformError& failure) {
        std::fprintf(stderr, "dwellmark: %s\n", failure.what());
        return 1;
    }

    // Dwellmark takes nothing from the command line, not even Qt's own options
    // (-display, -platform, -style, ...): only the program's name is passed on.
    int qtArgc = argc > 0 ? 1 : 0;
    char* qtArgv[] = {argc > 0 ? argv[0] : nullptr, nullptr};
    dwellmark::app::Application app(qtArgc, qtArgv);
    dwellmark::ActivityTracker tracker(*windows, *clock);
    dwellmark::ui::Form1 form(tracker, QCoreApplication::applicationDirPath());
    QObject::connect(&form, &dwellmark::ui::Form1::unloaded, &app, &QCoreApplication::quit);
    form.show();
    return app.exec();
}
