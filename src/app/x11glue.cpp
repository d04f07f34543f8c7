// What Qt needs to know to run beside the X11 backend.
#include "app/x11glue.h"

#include "platform/linux/lostconnection.h"

#include <QByteArray>
#include <QGuiApplication>
#include <QString>
#include <QtGlobal>
#include <cstdlib>
#include <memory>
#include <xcb/xcb.h>

namespace dwellmark::app {

namespace {

QtMessageHandler qtMessages = nullptr;

void onQtMessage(QtMsgType type, const QMessageLogContext& context, const QString& message) {
    // Qt's xcb platform writes this and exits on its own otherwise.
    if (message.startsWith(QLatin1String("The X11 connection broke"))) {
        platform::linux::connectionLost("the X server");
    }
    // And its Wayland platform this, on a Wayland backend.
    if (message.startsWith(QLatin1String("The Wayland connection broke"))) {
        platform::linux::connectionLost("the Wayland compositor");
    }
    if (qtMessages != nullptr) {
        qtMessages(type, context, message);
    }
}

} // namespace

void prepareQtForX11() {
    qtMessages = qInstallMessageHandler(onQtMessage);
}

void drawOverTheConnection() {
    qputenv("QT_XCB_NO_MITSHM", QByteArrayLiteral("1"));
}

void leaveRootPropertiesToBackend() {
    const auto* x11 = qGuiApp != nullptr ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    xcb_connection_t* connection = x11 != nullptr ? x11->connection() : nullptr;
    if (connection == nullptr) {
        return;
    }
    // Qt selects the same events on the root window of every screen.
    for (auto screens = xcb_setup_roots_iterator(xcb_get_setup(connection)); screens.rem > 0;
         xcb_screen_next(&screens)) {
        const xcb_window_t root = screens.data->root;
        const std::unique_ptr<xcb_get_window_attributes_reply_t, decltype(&std::free)> attributes(
            xcb_get_window_attributes_reply(connection, xcb_get_window_attributes(connection, root), nullptr),
            &std::free);
        if (attributes == nullptr || (attributes->your_event_mask & XCB_EVENT_MASK_PROPERTY_CHANGE) == 0) {
            continue;
        }
        const std::uint32_t mask = attributes->your_event_mask & ~std::uint32_t{XCB_EVENT_MASK_PROPERTY_CHANGE};
        xcb_change_window_attributes(connection, root, XCB_CW_EVENT_MASK, &mask);
    }
    xcb_flush(connection);
}

} // namespace dwellmark::app
