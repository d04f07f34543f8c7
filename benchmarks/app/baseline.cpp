// The programs Dwellmark is compared with: a Qt program made as Dwellmark is
// (a QApplication on the xcb platform) that shows an empty window "Baseline"
// and whose only work is a precise 1 ms timer (the floor), or, with --naive,
// whose timer asks the X
// server for the root window's _NET_ACTIVE_WINDOW on every tick, a round trip
// each time (the naive way to follow the foreground), or, with --idle, that
// has no timer at all (what an idle Qt program costs), or, with --every MS, a
// bare timer of that period (a 1000 ms one costs what a tick after a quiet
// second costs any Qt program), or, with --follow, that has no timer and does
// only the X work a tracker cannot do without on a switch: it takes the root
// window's property changes, reads _NET_ACTIVE_WINDOW when it changes (a
// round trip) and a new foreground window's title and process id (one more),
// and writes each new foreground window to NOTICE-FILE as "WINDOW NS", as
// bench_dwellmark_ticks does (what a switch costs any program on X11). It
// counts its ticks (for --follow: the reads of the active window) into the
// file named on the command line and runs until it is sent SIGTERM.
//   bench_baseline [--naive | --idle | --every MS] TICK-COUNT-FILE
//   bench_baseline --follow TICK-COUNT-FILE NOTICE-FILE
#include "sharedtickcount.h"

#include <QApplication>
#include <QSocketNotifier>
#include <QTimer>
#include <QWidget>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <exception>
#include <fcntl.h>
#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>
#include <unistd.h>
#include <xcb/xcb.h>

namespace {

xcb_atom_t internAtom(xcb_connection_t* connection, std::string_view name) {
    xcb_intern_atom_reply_t* atom = xcb_intern_atom_reply(
        connection, xcb_intern_atom(connection, 0, static_cast<std::uint16_t>(name.size()), name.data()), nullptr);
    if (atom == nullptr) {
        throw std::runtime_error("the X server did not answer");
    }
    const xcb_atom_t value = atom->atom;
    std::free(atom);
    return value;
}

/// Follows the foreground with the least X work a tracker needs.
class ActiveWindowFollower final {
public:
    ActiveWindowFollower(int notices, std::function<void()> ticked)
        : m_connection(xcb_connect(nullptr, nullptr)), m_notices(notices), m_ticked(std::move(ticked)) {
        if (xcb_connection_has_error(m_connection) != 0) {
            throw std::runtime_error("no X server");
        }
        m_root = xcb_setup_roots_iterator(xcb_get_setup(m_connection)).data->root;
        m_active = internAtom(m_connection, "_NET_ACTIVE_WINDOW");
        m_name = internAtom(m_connection, "_NET_WM_NAME");
        m_pid = internAtom(m_connection, "_NET_WM_PID");
        m_utf8 = internAtom(m_connection, "UTF8_STRING");
        const std::uint32_t mask = XCB_EVENT_MASK_PROPERTY_CHANGE;
        xcb_change_window_attributes(m_connection, m_root, XCB_CW_EVENT_MASK, &mask);
        xcb_flush(m_connection);
        m_notifier = std::make_unique<QSocketNotifier>(xcb_get_file_descriptor(m_connection), QSocketNotifier::Read);
        QObject::connect(m_notifier.get(), &QSocketNotifier::activated, [this] { readEvents(); });
        readActive();
    }
    ~ActiveWindowFollower() {
        m_notifier.reset();
        xcb_disconnect(m_connection);
    }
    ActiveWindowFollower(const ActiveWindowFollower&) = delete;
    ActiveWindowFollower& operator=(const ActiveWindowFollower&) = delete;

private:
    void readEvents() {
        bool changed = false;
        for (xcb_generic_event_t* event = xcb_poll_for_event(m_connection); event != nullptr;
             event = xcb_poll_for_queued_event(m_connection)) {
            if ((event->response_type & 0x7f) == XCB_PROPERTY_NOTIFY &&
                reinterpret_cast<xcb_property_notify_event_t*>(event)->atom == m_active) {
                changed = true;
            }
            std::free(event);
        }
        if (changed) {
            readActive();
        }
    }

    void readActive() {
        xcb_get_property_reply_t* reply = xcb_get_property_reply(
            m_connection, xcb_get_property(m_connection, 0, m_root, m_active, XCB_ATOM_WINDOW, 0, 1), nullptr);
        std::uint32_t window = 0;
        if (reply != nullptr && xcb_get_property_value_length(reply) >= 4) {
            window = *static_cast<const std::uint32_t*>(xcb_get_property_value(reply));
        }
        std::free(reply);
        m_ticked();
        if (window != 0 && window != m_last) {
            // Its title and process, asked together.
            const auto name = xcb_get_property(m_connection, 0, window, m_name, m_utf8, 0, 256);
            const auto pid = xcb_get_property(m_connection, 0, window, m_pid, XCB_ATOM_CARDINAL, 0, 1);
            std::free(xcb_get_property_reply(m_connection, name, nullptr));
            std::free(xcb_get_property_reply(m_connection, pid, nullptr));
            timespec now{};
            clock_gettime(CLOCK_MONOTONIC, &now);
            const std::string line =
                std::to_string(window) + ' ' + std::to_string(now.tv_sec * 1'000'000'000LL + now.tv_nsec) + '\n';
            static_cast<void>(write(m_notices, line.data(), line.size()));
        }
        m_last = window != 0 ? window : m_last;
        // Events read while the replies were awaited leave the descriptor unreadable.
        if (xcb_generic_event_t* queued = xcb_poll_for_queued_event(m_connection)) {
            const bool active = (queued->response_type & 0x7f) == XCB_PROPERTY_NOTIFY &&
                                reinterpret_cast<xcb_property_notify_event_t*>(queued)->atom == m_active;
            std::free(queued);
            if (active) {
                readActive();
            } else {
                readEvents();
            }
        }
    }

    xcb_connection_t* m_connection;
    int m_notices;
    std::function<void()> m_ticked;
    std::unique_ptr<QSocketNotifier> m_notifier;
    xcb_window_t m_root = 0;
    xcb_atom_t m_active = 0;
    xcb_atom_t m_name = 0;
    xcb_atom_t m_pid = 0;
    xcb_atom_t m_utf8 = 0;
    std::uint32_t m_last = 0;
};

/// Asks the X server for the active window, one round trip per call.
class ActiveWindowPoller final {
public:
    ActiveWindowPoller() : m_connection(xcb_connect(nullptr, nullptr)) {
        if (xcb_connection_has_error(m_connection) != 0) {
            throw std::runtime_error("no X server");
        }
        m_root = xcb_setup_roots_iterator(xcb_get_setup(m_connection)).data->root;
        m_activeAtom = internAtom(m_connection, "_NET_ACTIVE_WINDOW");
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
    const bool follow = argc == 4 && std::strcmp(argv[1], "--follow") == 0;
    const bool periodic = argc == 4 && std::strcmp(argv[1], "--every") == 0;
    const int every = periodic ? std::atoi(argv[2]) : 1;
    if ((argc != 2 && !naive && !idle && !periodic && !follow) || every < 1) {
        std::fputs("usage: bench_baseline [--naive | --idle | --every MS] TICK-COUNT-FILE\n"
                   "       bench_baseline --follow TICK-COUNT-FILE NOTICE-FILE\n",
                   stderr);
        return 2;
    }
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", QByteArrayLiteral("xcb"));
    }
    try {
        dwellmark::bench::SharedTickCount ticks(argv[follow ? 2 : argc - 1]);
        std::unique_ptr<ActiveWindowPoller> poller;
        if (naive) {
            poller = std::make_unique<ActiveWindowPoller>();
        }
        QApplication app(argc, argv);
        std::unique_ptr<ActiveWindowFollower> follower;
        if (follow) {
            const int notices = open(argv[3], O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
            if (notices < 0) {
                throw std::runtime_error(std::string("cannot open ") + argv[3]);
            }
            follower = std::make_unique<ActiveWindowFollower>(notices, [&] { ticks.increment(); });
        }
        QTimer timer;
        timer.setTimerType(Qt::PreciseTimer);
        timer.setInterval(every);
        QObject::connect(&timer, &QTimer::timeout, [&] {
            if (poller) {
                poller->poll();
            }
            ticks.increment();
        });
        if (!idle && !follow) {
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
