// Dwellmark: records which window holds the foreground, and for how long.

#include "program.h"

#include <QByteArray>
#include <QtGlobal>
#include <cstdio>
#include <cstdlib>

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

    return dwellmark::app::run(argc, argv);
}
