// What Qt needs to know to run beside the X11 backend.
#include "x11glue.h"

#include "platform/linux/lostconnection.h"

#include <QByteArray>
#include <QString>
#include <QtGlobal>

namespace dwellmark::app {

namespace {

QtMessageHandler qtMessages = nullptr;

void onQtMessage(QtMsgType type, const QMessageLogContext& context, const QString& message) {
    // Qt's xcb platform writes this and exits on its own otherwise.
    if (message.startsWith(QLatin1String("The X11 connection broke"))) {
        platform::linuxos::connectionLost("the X server");
    }
    if (qtMessages != nullptr) {
        qtMessages(type, context, message);
    }
}

} // namespace

void prepareQtForX11() {
    qtMessages = qInstallMessageHandler(onQtMessage);
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", QByteArrayLiteral("xcb"));
    }
}

} // namespace dwellmark::app
