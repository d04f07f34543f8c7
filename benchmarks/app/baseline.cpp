// The programs Dwellmark is compared with: a Qt program made as Dwellmark is
// (a QApplication on the xcb platform) that shows an empty window "Baseline"
// and whose only work is a precise 1 ms timer (the floor), or, with --naive,
// whose timer asks the X
// server for the root window's _NET_ACTIVE_WINDOW on every tick, a round trip
// each time (the naive way to follow the foreground), or, with --idle, that
// has no timer at all (what an idle Qt program costs), or, with --every MS, a
// bare timer of that period (a 1000 ms one costs what a tick after a quiet
// second costs any Qt program). It counts its ticks into the file named on
// the command line and runs until it is sent SIGTERM.
//   bench_baseline [--naive | --idle | --every MS] TICK-COUNT-FILE
#include "sharedtickcount.h"

#include <QApplication>
#include <QTimer>
#include <QWidget>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <functional>
#include <string_view>
#include <xcb/xcb.h>

namespace {

/// Asks the X server for the active window, one round trip per call.
class ActiveWindowPoller final {
public:
    ActiveWindowPoller() : m_connection(xcb_connect(nullptr, nullptr)) {
        if (xcb_connection_has_error(m_connection) != 0) {
            throw std::runtime_error("no X server");
        }
        m_root = xcb_setup_roots_iterator(xcb_get_setup(m_connection)).data->root;
        const std::string_view name = "_NET_ACTIVE_WINDOW";
        xcb_intern_atom_reply_t* atom = xcb_intern_atom_reply(
            m_connection, xcb_intern_atom(m_connection, 0, static_cast<std::uint16_t>(name.size()), name.data()),
            nullptr);
        if (atom == nullptr) {
            throw std::runtime_error("the X server did not answer");
        }
        m_activeAtom = atom->atom;
        std::free(atom);
    }
    ~ActiveWindowPoller() { xcb_disconnect(m_connection); }
    ActiveWindowPoller(const ActiveWindowPoller&) = delete;
    ActiveWindowPoller& operator=(const ActiveWindowPoller&) = delete;

    void poll() {
        xcb_get_property_reply_t* reply = xcb_get_property_reply(
            m_connection, xcb_get_property(m_connection, 0, m_root, m_activeAtom, XCB_ATOM_WINDOW, 0, 1), nullptr);
        if (reply != nullptr && xcb_get_property_value_length(reply) >= 4) {
            m_active = *static_cast<const std::uint32_t*>(xcb_get_property_value(reply));
        }
        std::free(reply);
    }

private:
    xcb_connection_t* m_connection;
    xcb_window_t m_root = 0;
    xcb_atom_t m_activeAtom = 0;
    // Kept where the compiler must write it, so the answer is really read.
    volatile std::uint32_t m_active = 0;
};

} // namespace

int main(int argc, char** argv) {
    const bool naive = argc == 3 && std::strcmp(argv[1], "--naive") == 0;
    const bool idle = argc == 3 && std::strcmp(argv[1], "--idle") == 0;
    const bool periodic = argc == 4 && std::strcmp(argv[1], "--every") == 0;
    const int every = periodic ? std::atoi(argv[2]) : 1;
    if ((argc != 2 && !naive && !idle && !periodic) || every < 1) {
        std::fputs("usage: bench_baseline [--naive | --idle | --every MS] TICK-COUNT-FILE\n", stderr);
        return 2;
    }
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", QByteArrayLiteral("xcb"));
    }
    try {
        dwellmark::bench::SharedTickCount ticks(argv[argc - 1]);
        std::unique_ptr<ActiveWindowPoller> poller;
        if (naive) {
            poller = std::make_unique<ActiveWindowPoller>();
        }
        QApplication app(argc, argv);
        QTimer timer;
        timer.setTimerType(Qt::PreciseTimer);
        timer.setInterval(every);
        QObject::connect(&timer, &QTimer::timeout, [&] {
            if (poller) {
                poller->poll();
            }
            ticks.increment();
        });
        if (!idle) {
            timer.start();
        }
        QWidget window;
        window.setWindowTitle(QStringLiteral("Baseline"));
        window.resize(400, 300);
        window.show();
        return app.exec();
    } catch (const std::exception& failure) {
        std::fprintf(stderr, "bench_baseline: %s\n", failure.what());
        return 1;
    }
}
