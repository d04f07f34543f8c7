// A busy desktop for the CPU measurements: opens a number of top-level windows
// (kept clear of the centre of the screen, where Dwellmark's window sits) and
// hands the foreground to the next of them at a fixed interval, through the
// window manager (_NET_ACTIVE_WINDOW requests). Prints "ready" once the window
// manager has made the first window active, and on SIGTERM or SIGINT how many
// switches it asked for and how many changes of the active window it saw.
// Between switches it waits on its connection, so that it reads each change
// as soon as the X server sends it; with a third argument it writes each
// change there as a line "WINDOW NS" (CLOCK_MONOTONIC nanoseconds of the read),
// the start of the notice latency of a tracker.
//   bench_desktop_driver [WINDOWS, default 50] [INTERVAL-MS, default 100] [CHANGES-FILE]
#include <array>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <poll.h>
#include <string>
#include <unistd.h>
#include <vector>
#include <xcb/xcb.h>

namespace {

volatile std::sig_atomic_t stopRequested = 0;

void requestStop(int) {
    stopRequested = 1;
}

xcb_atom_t internAtom(xcb_connection_t* connection, const std::string& name) {
    xcb_intern_atom_reply_t* reply = xcb_intern_atom_reply(
        connection, xcb_intern_atom(connection, 0, static_cast<std::uint16_t>(name.size()), name.data()), nullptr);
    const xcb_atom_t atom = reply != nullptr ? reply->atom : xcb_atom_t{XCB_ATOM_NONE};
    std::free(reply);
    return atom;
}

class Desktop final {
public:
    explicit Desktop(xcb_connection_t* connection)
        : m_connection(connection), m_root(xcb_setup_roots_iterator(xcb_get_setup(connection)).data->root),
          m_activeAtom(internAtom(connection, "_NET_ACTIVE_WINDOW")),
          m_netWmName(internAtom(connection, "_NET_WM_NAME")), m_utf8(internAtom(connection, "UTF8_STRING")),
          m_netWmPid(internAtom(connection, "_NET_WM_PID")) {
        const std::uint32_t rootEvents = XCB_EVENT_MASK_PROPERTY_CHANGE;
        xcb_change_window_attributes(m_connection, m_root, XCB_CW_EVENT_MASK, &rootEvents);
    }

    // Half of the windows cascade down the left edge, half down the right.
    void open(int count) {
        for (int i = 0; i < count; ++i) {
            const int step = i / 2;
            const auto x = static_cast<std::int16_t>(i % 2 == 0 ? 10 + (step % 5) * 16 : 950 + (step % 5) * 16);
            const auto y = static_cast<std::int16_t>(30 + step * 30);
            const xcb_window_t window = xcb_generate_id(m_connection);
            const std::uint32_t values[] = {0xFFFFFFU};
            xcb_create_window(m_connection, XCB_COPY_FROM_PARENT, window, m_root, x, y, 250, 160, 0,
                              XCB_WINDOW_CLASS_INPUT_OUTPUT, XCB_COPY_FROM_PARENT, XCB_CW_BACK_PIXEL, values);
            const std::string title = "Report " + std::to_string(i + 1) + ".txt - Text Editor";
            xcb_change_property(m_connection, XCB_PROP_MODE_REPLACE, window, XCB_ATOM_WM_NAME, XCB_ATOM_STRING, 8,
                                static_cast<std::uint32_t>(title.size()), title.data());
            xcb_change_property(m_connection, XCB_PROP_MODE_REPLACE, window, m_netWmName, m_utf8, 8,
                                static_cast<std::uint32_t>(title.size()), title.data());
            const auto pid = static_cast<std::uint32_t>(getpid());
            xcb_change_property(m_connection, XCB_PROP_MODE_REPLACE, window, m_netWmPid, XCB_ATOM_CARDINAL, 32, 1,
                                &pid);
            // WM_NORMAL_HINTS with a position the user chose, so that the
            // window manager keeps the windows where they are put.
            std::array<std::uint32_t, 18> hints{};
            hints[0] = 1U | 2U; // USPosition | USSize
            hints[1] = static_cast<std::uint32_t>(x);
            hints[2] = static_cast<std::uint32_t>(y);
            hints[3] = 250;
            hints[4] = 160;
            xcb_change_property(m_connection, XCB_PROP_MODE_REPLACE, window, XCB_ATOM_WM_NORMAL_HINTS,
                                XCB_ATOM_WM_SIZE_HINTS, 32, static_cast<std::uint32_t>(hints.size()), hints.data());
            xcb_map_window(m_connection, window);
            m_windows.push_back(window);
        }
        xcb_flush(m_connection);
    }

    void activate(std::size_t index) {
        xcb_client_message_event_t message{};
        message.response_type = XCB_CLIENT_MESSAGE;
        message.format = 32;
        message.window = m_windows[index % m_windows.size()];
        message.type = m_activeAtom;
        message.data.data32[0] = 2; // from a pager: honoured without focus-stealing checks
        message.data.data32[1] = XCB_CURRENT_TIME;
        xcb_send_event(m_connection, 0, m_root,
                       XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY | XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT,
                       reinterpret_cast<const char*>(&message));
        xcb_flush(m_connection);
    }

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

    /// Reads the events that have come, counting the changes of the active
    /// window among them (each is read back, as the notice carries no value).
    void drainEvents(std::FILE* changes = nullptr) {
        // The round trip that reads the new value back may bring the next
        // change along into xcb's queue, where the descriptor no longer tells
        // of it: go round until nothing is left.
        for (;;) {
            bool activeNotified = false;
            timespec readAt{};
            while (xcb_generic_event_t* event = xcb_poll_for_event(m_connection)) {
                if ((event->response_type & 0x7FU) == XCB_PROPERTY_NOTIFY &&
                    reinterpret_cast<xcb_property_notify_event_t*>(event)->atom == m_activeAtom && !activeNotified) {
                    activeNotified = true;
                    clock_gettime(CLOCK_MONOTONIC, &readAt);
                }
                std::free(event);
            }
            if (!activeNotified) {
                return;
            }
            const std::uint32_t active = activeWindow();
            if (active != m_lastActive) {
                m_lastActive = active;
                ++m_changesSeen;
                if (changes != nullptr) {
                    std::fprintf(changes, "%u %lld\n", active,
                                 static_cast<long long>(readAt.tv_sec) * 1000000000LL + readAt.tv_nsec);
                    std::fflush(changes);
                }
            }
        }
    }

    int descriptor() const { return xcb_get_file_descriptor(m_connection); }

    xcb_window_t window(std::size_t index) const { return m_windows[index % m_windows.size()]; }
    long changesSeen() const { return m_changesSeen; }

private:
    xcb_connection_t* m_connection;
    xcb_window_t m_root;
    xcb_atom_t m_activeAtom;
    xcb_atom_t m_netWmName;
    xcb_atom_t m_utf8;
    xcb_atom_t m_netWmPid;
    std::vector<xcb_window_t> m_windows;
    std::uint32_t m_lastActive = 0;
    long m_changesSeen = 0;
};

// Milliseconds from now until when, rounded up; 0 once it has passed.
int millisecondsUntil(const timespec& when) {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    const long long left =
        (static_cast<long long>(when.tv_sec) - now.tv_sec) * 1000000000LL + (when.tv_nsec - now.tv_nsec);
    return left <= 0 ? 0 : static_cast<int>((left + 999999) / 1000000);
}

// Reads the changes of the active window as they come, until when.
void watchUntil(Desktop& desktop, const timespec& when, std::FILE* changes) {
    for (int left = millisecondsUntil(when); left > 0 && stopRequested == 0; left = millisecondsUntil(when)) {
        pollfd connection{desktop.descriptor(), POLLIN, 0};
        if (poll(&connection, 1, left) > 0) {
            desktop.drainEvents(changes);
        }
    }
}

timespec later(timespec at, long milliseconds) {
    at.tv_nsec += milliseconds * 1000000L;
    at.tv_sec += at.tv_nsec / 1000000000L;
    at.tv_nsec %= 1000000000L;
    return at;
}

} // namespace

int main(int argc, char** argv) {
    const int count = argc > 1 ? std::atoi(argv[1]) : 50;
    const long interval = argc > 2 ? std::atol(argv[2]) : 100;
    std::FILE* changes = argc > 3 ? std::fopen(argv[3], "w") : nullptr;
    if (argc > 3 && changes == nullptr) {
        std::fprintf(stderr, "bench_desktop_driver: cannot write %s\n", argv[3]);
        return 1;
    }
    if (count < 2 || interval < 1) {
        std::fputs("usage: bench_desktop_driver [WINDOWS >= 2] [INTERVAL-MS >= 1]\n", stderr);
        return 2;
    }
    struct sigaction action {};
    action.sa_handler = requestStop;
    sigaction(SIGTERM, &action, nullptr);
    sigaction(SIGINT, &action, nullptr);

    xcb_connection_t* connection = xcb_connect(nullptr, nullptr);
    if (xcb_connection_has_error(connection) != 0) {
        std::fputs("bench_desktop_driver: no X server\n", stderr);
        return 1;
    }
    Desktop desktop(connection);
    desktop.open(count);

    // The window manager needs a moment to take the new windows in.
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    for (int attempt = 0; desktop.activeWindow() != desktop.window(0); ++attempt) {
        if (std::chrono::steady_clock::now() > deadline || stopRequested != 0) {
            std::fputs("bench_desktop_driver: the window manager did not activate a window\n", stderr);
            xcb_disconnect(connection);
            return 1;
        }
        if (attempt % 25 == 0) {
            desktop.activate(0);
        }
        usleep(2000);
    }
    desktop.drainEvents();
    std::puts("ready");
    std::fflush(stdout);

    long requested = 0;
    const long changesBefore = desktop.changesSeen();
    timespec next{};
    clock_gettime(CLOCK_MONOTONIC, &next);
    while (stopRequested == 0) {
        desktop.activate(static_cast<std::size_t>(++requested));
        next = later(next, interval);
        watchUntil(desktop, next, changes);
    }
    desktop.drainEvents(changes);
    std::printf("switches_requested=%ld switches_seen=%ld\n", requested, desktop.changesSeen() - changesBefore);
    if (changes != nullptr) {
        std::fclose(changes);
    }
    const int status = xcb_connection_has_error(connection) != 0 ? 1 : 0;
    xcb_disconnect(connection);
    return status;
}
