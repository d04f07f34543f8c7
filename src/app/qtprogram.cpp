// The program's parts wired together once, for main and for the tests and
// benchmarks that run the program as it is.
#include "qtprogram.h"

#include "app/x11glue.h"
#include "application.h"
#include "platform/platform.h"

#include <QByteArray>
#include <QCoreApplication>
#include <QtGlobal>
#include <cstdio>
#include <memory>
#include <utility>

namespace dwellmark::app {

QtProgram::QtProgram(WindowSystem& windows, ChangeFeed& changes, TimeOfDayClock& clock, const QString& programFolder,
                     TickSource ticks, const QString& notice, ui::NoticeOffer offer)
    : m_tracker(windows, clock),
      m_mainWindow(m_tracker, changes, programFolder.isEmpty() ? QCoreApplication::applicationDirPath() : programFolder,
                   ticks, notice, std::move(offer)) {
    QObject::connect(&m_mainWindow, &ui::MainWindow::unloaded, QCoreApplication::instance(), &QCoreApplication::quit);
}

int QtProgram::exec() {
    m_mainWindow.show();
    return QCoreApplication::exec();
}

void chooseQtPlatform(platform::DisplayProtocol protocol) {
    // The tracker must recognise its own windows among those it follows, so
    // they speak the backend's protocol: through Xwayland when the session
    // is followed through X11, natively when through a Wayland backend.
    if (!qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        return;
    }
    switch (protocol) {
    case platform::DisplayProtocol::X11:
        qputenv("QT_QPA_PLATFORM", QByteArrayLiteral("xcb"));
        break;
    case platform::DisplayProtocol::Wayland:
        qputenv("QT_QPA_PLATFORM", QByteArrayLiteral("wayland"));
        break;
    case platform::DisplayProtocol::Native:
        break;
    }
}

int run(int argc, char* argv[], const BackendWrapper& wrap, TickSource ticks) {
    // The desktop is reached before the windows are made, so that a missing
    // display is one line on standard error instead of Qt's abort.
    platform::Desktop desktop;
    std::unique_ptr<TimeOfDayClock> clock;
    try {
        desktop = platform::openDesktop();
        clock = platform::createClock();
    } catch (const platform::PlatformError& failure) {
        std::fprintf(stderr, "dwellmark: %s\n", failure.what());
        return 1;
    }

    const platform::DisplayProtocol protocol = platform::displayProtocol(*desktop.windows);
    chooseQtPlatform(protocol);
    if (protocol == platform::DisplayProtocol::X11) {
        drawOverTheConnection();
    }

    // Dwellmark takes nothing from the command line, not even Qt's own options
    // (-display, -platform, -style, ...): only the program's name is passed on.
    int qtArgc = argc > 0 ? 1 : 0;
    char* qtArgv[] = {argc > 0 ? argv[0] : nullptr, nullptr};
    Application application(qtArgc, qtArgv);
    if (protocol == platform::DisplayProtocol::X11) {
        leaveRootPropertiesToBackend();
    }
    // What the desktop could not give is said in the window too, not only on
    // a standard error that a program started from a menu has nowhere to show.
    ui::NoticeOffer offer;
    if (desktop.acceptOffer) {
        offer = {QString::fromStdString(desktop.offer),
                 [accept = desktop.acceptOffer]() -> std::function<QString()> {
                     return [finish = accept()] { return QString::fromStdString(finish()); };
                 },
                 QString::fromStdString(desktop.offerWorking)};
    }
    WindowSystem* windows = desktop.windows.get();
    ChangeFeed* changes = desktop.changes;
    if (wrap) {
        wrap(windows, changes);
    }
    QtProgram program(*windows, *changes, *clock, {}, ticks, QString::fromStdString(desktop.notice), std::move(offer));
    return program.exec();
}

} // namespace dwellmark::app
