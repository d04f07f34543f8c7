// Dwellmark: records which window holds the foreground, and for how long.

#include "application.h"
#include "platform/platform.h"
#include "tracking/activitytracker.h"
#include "ui/qt/form1.h"

#include <QByteArray>
#include <QtGlobal>
#include <cstdio>
#include <cstdlib>
#include <memory>

namespace {

QtMessageHandler qtMessages = nullptr;

// Qt notices a broken X connection on its own as well, and then writes its
// own line and exits. Whichever notices first, the user reads the same line.
void onQtMessage(QtMsgType type, const QMessageLogContext& context, const QString& message) {
    if (message.startsWith(QLatin1String("The X11 connection broke"))) {
        std::fputs("dwellmark: lost the connection to the X server\n", stderr);
        std::_Exit(1);
    }
    if (qtMessages != nullptr) {
        qtMessages(type, context, message);
    }
}

} // namespace

int main(int argc, char* argv[]) {
    qtMessages = qInstallMessageHandler(onQtMessage);

#if defined(Q_OS_UNIX) && !defined(Q_OS_MACOS)
    // The tracker follows X11 windows, and must recognise its own window among
    // them: under a Wayland session the window goes through Xwayland too.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", QByteArrayLiteral("xcb"));
    }
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
