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
// bench_dwellmark_ticks does (what a switch costs any program on X11); with
// --follow-shown it also shows each new foreground window's title as a line
// appended to a list in its window, which keeps its last line in sight (what
// a switch costs any Qt program that shows its log as it grows). It
// counts its ticks (for --follow: the reads of the active window) into the
// file named on the command line and runs until it is sent SIGTERM.
//   bench_baseline [--naive | --idle | --every MS] TICK-COUNT-FILE
//   bench_baseline --follow | --follow-shown TICK-COUNT-FILE NOTICE-FILE
#include "noticefile.h"
#include "sharedtickcount.h"

#include <QApplication>
#include <QListWidget>
#include <QSocketNotifier>
#include <QTimer>
#include <QWidget>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>
#include <xcb/xcb.h>

namespace {

/// A connection of its own to the X server, and the questions the programs
/// below ask over it.
class XConnection final {
public:
    XConnection() : m_connection(xcb_connect(nullptr, nullptr)) {
        if (xcb_connection_has_error(m_connection) != 0) {
            xcb_disconnect(m_connection);
            throw std::runtime_error("no X server");
        }
        m_root = xcb_setup_roots_iterator(xcb_get_setup(m_connection)).data->root;
        m_activeAtom = atom("_NET_ACTIVE_WINDOW");
    }
    ~XConnection() { xcb_disconnect(m_connection); }
    XConnection(const XConnection&) = delete;
    XConnection& operator=(const XConnection&) = delete;

    xcb_connection_t* get() const { return m_connection; }
    xcb_window_t root() const { return m_root; }
    xcb_atom_t activeAtom() const { return m_activeAtom; }

    xcb_atom_t atom(std::string_view name) {
        xcb_intern_atom_reply_t* reply = xcb_intern_atom_reply(
            m_connection, xcb_intern_atom(m_connection, 0, static_cast<std::uint16_t>(name.size()), name.data()),
            nullptr);
        if (reply == nullptr) {
            throw std::runtime_error("the X server did not answer");
        }
        const xcb_atom_t value = reply->atom;
        std::free(reply);
        return value;
    }

    /// The root window's _NET_ACTIVE_WINDOW, one round trip; 0 for none.
    std::uint32_t activeWindow() {
        xcb_get_property_reply_t* reply = xcb_get_property_reply(
            m_connection, xcb_get_property(m_connection, 0, m_root, m_activeAtom, XCB_ATOM_WINDOW, 0, 1), nullptr);
        std::uint32_t window = 0;
        if (reply != nullptr && xcb_get_property_value_length(reply) >= 4) {
            window = *static_cast<const std::uint32_t*>(xcb_get_property_value(reply));
        }
        std::free(reply);
        return window;
    }

private:
    xcb_connection_t* m_connection;
    xcb_window_t m_root = 0;
    xcb_atom_t m_activeAtom = 0;
};

/// Follows the foreground with the least X work a tracker needs.
class ActiveWindowFollower final {
public:
    /// shown: the list that shows each new foreground window's title, or null.
    ActiveWindowFollower(const std::string& notices, std::function<void()> ticked, QListWidget* shown)
        : m_notices(notices), m_ticked(std::move(ticked)), m_shown(shown) {
        m_name = m_x.atom("_NET_WM_NAME");
        m_pid = m_x.atom("_NET_WM_PID");
        m_utf8 = m_x.atom("UTF8_STRING");
        const std::uint32_t mask = XCB_EVENT_MASK_PROPERTY_CHANGE;
        xcb_change_window_attributes(m_x.get(), m_x.root(), XCB_CW_EVENT_MASK, &mask);
        xcb_flush(m_x.get());
        m_notifier = std::make_unique<QSocketNotifier>(xcb_get_file_descriptor(m_x.get()), QSocketNotifier::Read);
        QObject::connect(m_notifier.get(), &QSocketNotifier::activated, [this] { readEvents(xcb_poll_for_event); });
        readActive();
    }

private:
    /// Takes the events that next() gives; reads the active window when one tells of a change.
    void readEvents(xcb_generic_event_t* (*next)(xcb_connection_t*)) {
        bool changed = false;
        for (xcb_generic_event_t* event = next(m_x.get()); event != nullptr;
             event = xcb_poll_for_queued_event(m_x.get())) {
            changed = changed || ((event->response_type & 0x7f) == XCB_PROPERTY_NOTIFY &&
                                  reinterpret_cast<xcb_property_notify_event_t*>(event)->atom == m_x.activeAtom());
            std::free(event);
        }
        if (changed) {
            readActive();
        }
    }

    void readActive() {
        const std::uint32_t window = m_x.activeWindow();
        m_ticked();
        if (window != 0 && window != m_last) {
            // Its title and process, asked together.
            const auto name = xcb_get_property(m_x.get(), 0, window, m_name, m_utf8, 0, 256);
            const auto pid = xcb_get_property(m_x.get(), 0, window, m_pid, XCB_ATOM_CARDINAL, 0, 1);
            xcb_get_property_reply_t* title = xcb_get_property_reply(m_x.get(), name, nullptr);
            std::free(xcb_get_property_reply(m_x.get(), pid, nullptr));
            if (m_shown != nullptr && title != nullptr) {
                m_shown->addItem(QString::fromUtf8(static_cast<const char*>(xcb_get_property_value(title)),
                                                   xcb_get_property_value_length(title)));
                m_shown->scrollToBottom();
            }
            std::free(title);
            m_notices.note(window);
            m_last = window;
        }
        // Events read while the replies were awaited leave the descriptor unreadable.
        readEvents(xcb_poll_for_queued_event);
    }

    XConnection m_x;
    dwellmark::bench::NoticeFile m_notices;
    std::function<void()> m_ticked;
    QListWidget* m_shown;
    std::unique_ptr<QSocketNotifier> m_notifier;
    xcb_atom_t m_name = 0;
    xcb_atom_t m_pid = 0;
    xcb_atom_t m_utf8 = 0;
    std::uint32_t m_last = 0;
};

} // namespace

int main(int argc, char** argv) {
    const bool naive = argc == 3 && std::strcmp(argv[1], "--naive") == 0;
    const bool idle = argc == 3 && std::strcmp(argv[1], "--idle") == 0;
    const bool shown = argc == 4 && std::strcmp(argv[1], "--follow-shown") == 0;
    const bool follow = shown || (argc == 4 && std::strcmp(argv[1], "--follow") == 0);
    const bool periodic = argc == 4 && std::strcmp(argv[1], "--every") == 0;
    const int every = periodic ? std::atoi(argv[2]) : 1;
    if ((argc != 2 && !naive && !idle && !periodic && !follow) || every < 1) {
        std::fputs("usage: bench_baseline [--naive | --idle | --every MS] TICK-COUNT-FILE\n"
                   "       bench_baseline --follow | --follow-shown TICK-COUNT-FILE NOTICE-FILE\n",
                   stderr);
        return 2;
    }
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", QByteArrayLiteral("xcb"));
    }
    if (shown) {
        // It draws as Dwellmark does: over the connection, without shared memory.
        qputenv("QT_XCB_NO_MITSHM", QByteArrayLiteral("1"));
    }
    try {
        dwellmark::bench::SharedTickCount ticks(argv[follow ? 2 : argc - 1]);
        std::unique_ptr<XConnection> poller;
        if (naive) {
            poller = std::make_unique<XConnection>();
        }
        QApplication app(argc, argv);
        QWidget window;
        QListWidget* log = shown ? new QListWidget(&window) : nullptr;
        std::unique_ptr<ActiveWindowFollower> follower;
        if (follow) {
            follower = std::make_unique<ActiveWindowFollower>(
                argv[3], [&] { ticks.increment(); }, log);
        }
        QTimer timer;
        timer.setTimerType(Qt::PreciseTimer);
        timer.setInterval(every);
        QObject::connect(&timer, &QTimer::timeout, [&] {
            if (poller) {
                // The round trip is the work; the answer is not needed.
                static_cast<void>(poller->activeWindow());
            }
            ticks.increment();
        });
        if (!idle && !follow) {
            timer.start();
        }
        window.setWindowTitle(QStringLiteral("Baseline"));
        window.resize(400, 300);
        if (log != nullptr) {
            log->setGeometry(10, 10, 380, 280);
        }
        window.show();
        return app.exec();
    } catch (const std::exception& failure) {
        std::fprintf(stderr, "bench_baseline: %s\n", failure.what());
        return 1;
    }
}
