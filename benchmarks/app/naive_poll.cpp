// The naive way to follow the foreground window: a Qt program made as
// Dwellmark is whose precise 1 ms timer asks the X server for the root
// window's _NET_ACTIVE_WINDOW on every tick, a round trip each time. It counts
// its ticks into the file named on the command line and runs until it is sent
// SIGTERM.
//   bench_naive_poll TICK-COUNT-FILE
#include "sharedtickcount.h"

#include <QApplication>
#include <QTimer>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <xcb/xcb.h>

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fputs("usage: bench_naive_poll TICK-COUNT-FILE\n", stderr);
        return 2;
    }
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", QByteArrayLiteral("xcb"));
    }
    xcb_connection_t* connection = xcb_connect(nullptr, nullptr);
    if (xcb_connection_has_error(connection) != 0) {
        std::fputs("bench_naive_poll: no X server\n", stderr);
        return 1;
    }
    const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(connection)).data->root;
    const char* name = "_NET_ACTIVE_WINDOW";
    xcb_intern_atom_reply_t* atomReply = xcb_intern_atom_reply(
        connection, xcb_intern_atom(connection, 0, static_cast<std::uint16_t>(std::strlen(name)), name), nullptr);
    if (atomReply == nullptr) {
        std::fputs("bench_naive_poll: the X server did not answer\n", stderr);
        return 1;
    }
    const xcb_atom_t activeAtom = atomReply->atom;
    std::free(atomReply);

    try {
        dwellmark::bench::SharedTickCount ticks(argv[1]);
        QApplication app(argc, argv);
        // Kept where the compiler must write it, so the answer is really read.
        volatile std::uint32_t active = 0;
        QTimer timer;
        timer.setTimerType(Qt::PreciseTimer);
        timer.setInterval(1);
        QObject::connect(&timer, &QTimer::timeout, [&] {
            xcb_get_property_reply_t* reply = xcb_get_property_reply(
                connection, xcb_get_property(connection, 0, root, activeAtom, XCB_ATOM_WINDOW, 0, 1), nullptr);
            if (reply != nullptr && xcb_get_property_value_length(reply) >= 4) {
                active = *static_cast<const std::uint32_t*>(xcb_get_property_value(reply));
            }
            std::free(reply);
            ticks.increment();
        });
        timer.start();
        const int status = app.exec();
        xcb_disconnect(connection);
        return status;
    } catch (const std::exception& failure) {
        std::fprintf(stderr, "bench_naive_poll: %s\n", failure.what());
        return 1;
    }
}
