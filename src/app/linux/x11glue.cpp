// What Qt needs to know to run beside the X11 backend.
#include "app/linux/x11glue.h"

#include "platform/linux/lostconnection.h"

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
    // And its Wayland platform this, on a Wayland backend.
    if (message.startsWith(QLatin1String("The Wayland connection broke"))) {
        platform::linuxos::connectionLost("the Wayland compositor");
    }
    if (qtMessages != nullptr) {
        qtMessages(type, context, message);
    }
}

} // namespace

void prepareQtForX11() {
    qtMessages = qInstallMessageHandler(onQtMessage);
}

} // namespace dwellmark::app
