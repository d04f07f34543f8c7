// The time from starting a program to its main window being visible: from
// just before the program is started to the moment the window whose title is
// the one asked for is viewable (mapped, and its window manager frame too).
// Repeats the start a number of times, ends the program with SIGTERM after
// each, and prints the times, their median and the median resident set a
// moment after the window showed:
//   shown_ms=MEDIAN rss_kib=MEDIAN runs_ms=T1,T2,...
//   bench_show_time [--runs N] [--title TEXT] [--settle-ms MS] -- PROGRAM [ARGS...]
#include "process.h"
#include "processmemory.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <poll.h>
#include <set>
#include <string>
#include <thread>
#include <vector>
#include <xcb/xcb.h>

namespace {

using Clock = std::chrono::steady_clock;

xcb_atom_t internAtom(xcb_connection_t* connection, const char* name) {
    xcb_intern_atom_reply_t* reply = xcb_intern_atom_reply(
        connection, xcb_intern_atom(connection, 0, static_cast<std::uint16_t>(std::strlen(name)), name), nullptr);
    const xcb_atom_t atom = reply != nullptr ? reply->atom : xcb_atom_t{XCB_ATOM_NONE};
    std::free(reply);
    return atom;
}

/// Watches the top-level windows that appear on the screen until one with the
/// title asked for is viewable.
class ShowWatcher final {
public:
    ShowWatcher(xcb_connection_t* connection, std::string title)
        : m_connection(connection), m_root(xcb_setup_roots_iterator(xcb_get_setup(connection)).data->root),
          m_title(std::move(title)), m_netWmName(internAtom(connection, "_NET_WM_NAME")),
          m_utf8(internAtom(connection, "UTF8_STRING")) {
        const std::uint32_t events = XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
        xcb_change_window_attributes(m_connection, m_root, XCB_CW_EVENT_MASK, &events);
        xcb_flush(m_connection);
    }

    /// Forgets the windows of an earlier start and the events still queued.
    void reset() {
        sync();
        while (xcb_generic_event_t* event = xcb_poll_for_event(m_connection)) {
            std::free(event);
        }
        m_candidates.clear();
    }

    /// Waits for the window until the deadline; false when it did not show.
    bool waitUntilShown(Clock::time_point deadline) {
        while (Clock::now() < deadline) {
            xcb_generic_event_t* event = xcb_poll_for_event(m_connection);
            if (event == nullptr) {
                if (xcb_connection_has_error(m_connection) != 0) {
                    return false;
                }
                pollfd socket{xcb_get_file_descriptor(m_connection), POLLIN, 0};
                poll(&socket, 1, 5);
                continue;
            }
            const bool shown = handle(*event);
            std::free(event);
            if (shown) {
                return true;
            }
        }
        return false;
    }

private:
    // A round trip: every event the server sent before it is in the queue after it.
    void sync() { std::free(xcb_get_input_focus_reply(m_connection, xcb_get_input_focus(m_connection), nullptr)); }

    bool handle(const xcb_generic_event_t& event) {
        switch (event.response_type & 0x7FU) {
        case XCB_CREATE_NOTIFY: {
            const auto& created = reinterpret_cast<const xcb_create_notify_event_t&>(event);
            if (created.parent != m_root) {
                return false;
            }
            // Watched from now on; a window mapped before this took effect is
            // caught by the look right after.
            const std::uint32_t events = XCB_EVENT_MASK_STRUCTURE_NOTIFY | XCB_EVENT_MASK_PROPERTY_CHANGE;
            xcb_change_window_attributes(m_connection, created.window, XCB_CW_EVENT_MASK, &events);
            m_candidates.insert(created.window);
            return isShown(created.window);
        }
        case XCB_MAP_NOTIFY: {
            // The window manager maps its frame around the window, or the
            // window inside it; either may be the last step.
            for (const xcb_window_t window : m_candidates) {
                if (isShown(window)) {
                    return true;
                }
            }
            return false;
        }
        case XCB_PROPERTY_NOTIFY: {
            const auto& changed = reinterpret_cast<const xcb_property_notify_event_t&>(event);
            return m_candidates.count(changed.window) != 0 && isShown(changed.window);
        }
        default:
            return false;
        }
    }

    bool isShown(xcb_window_t window) {
        xcb_get_window_attributes_reply_t* attributes =
            xcb_get_window_attributes_reply(m_connection, xcb_get_window_attributes(m_connection, window), nullptr);
        const bool viewable = attributes != nullptr && attributes->map_state == XCB_MAP_STATE_VIEWABLE;
        std::free(attributes);
        return viewable && titleOf(window) == m_title;
    }

    std::string titleOf(xcb_window_t window) {
        for (const auto& [property, type] :
             {std::pair{m_netWmName, m_utf8}, std::pair{xcb_atom_t{XCB_ATOM_WM_NAME}, xcb_atom_t{XCB_ATOM_STRING}}}) {
            xcb_get_property_reply_t* reply = xcb_get_property_reply(
                m_connection, xcb_get_property(m_connection, 0, window, property, type, 0, 256), nullptr);
            std::string title;
            if (reply != nullptr) {
                title.assign(static_cast<const char*>(xcb_get_property_value(reply)),
                             static_cast<std::size_t>(xcb_get_property_value_length(reply)));
            }
            std::free(reply);
            if (!title.empty()) {
                return title;
            }
        }
        return {};
    }

    xcb_connection_t* m_connection;
    xcb_window_t m_root;
    std::string m_title;
    xcb_atom_t m_netWmName;
    xcb_atom_t m_utf8;
    std::set<xcb_window_t> m_candidates;
};

template <typename T>
T median(std::vector<T> values) {
    std::sort(values.begin(), values.end());
    const std::size_t middle = values.size() / 2;
    return values.size() % 2 == 1 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

} // namespace

int main(int argc, char** argv) {
    int runs = 7;
    int settleMs = 1000;
    std::string title = "Dwellmark";
    char** command = nullptr;
    for (int i = 1; i < argc; ++i) {
        const std::string option = argv[i];
        if (option == "--") {
            command = i + 1 < argc ? argv + i + 1 : nullptr;
            break;
        }
        if (i + 1 >= argc) {
            break;
        }
        if (option == "--runs") {
            runs = std::atoi(argv[++i]);
        } else if (option == "--title") {
            title = argv[++i];
        } else if (option == "--settle-ms") {
            settleMs = std::atoi(argv[++i]);
        } else {
            break;
        }
    }
    if (command == nullptr || runs < 1 || settleMs < 0) {
        std::fputs("usage: bench_show_time [--runs N] [--title TEXT] [--settle-ms MS] -- PROGRAM [ARGS...]\n", stderr);
        return 2;
    }

    xcb_connection_t* connection = xcb_connect(nullptr, nullptr);
    if (xcb_connection_has_error(connection) != 0) {
        std::fputs("bench_show_time: no X server\n", stderr);
        return 1;
    }
    ShowWatcher watcher(connection, title);
    std::vector<double> times;
    std::vector<long> residents;
    for (int run = 0; run < runs; ++run) {
        watcher.reset();
        const auto started = Clock::now();
        const pid_t child = dwellmark::bench::start(command);
        if (child == 0) {
            return 1;
        }
        const bool shown = watcher.waitUntilShown(started + std::chrono::seconds(20));
        const auto end = Clock::now();
        if (!shown) {
            std::fprintf(stderr, "bench_show_time: no window \"%s\" was shown\n", title.c_str());
            dwellmark::bench::stop(child);
            xcb_disconnect(connection);
            return 1;
        }
        times.push_back(std::chrono::duration<double, std::milli>(end - started).count());
        std::this_thread::sleep_for(std::chrono::milliseconds(settleMs));
        residents.push_back(dwellmark::testing::residentKiB(child));
        dwellmark::bench::stop(child);
    }
    xcb_disconnect(connection);

    std::string list;
    for (const double ms : times) {
        list += (list.empty() ? "" : ",") + std::to_string(static_cast<long>(ms + 0.5));
    }
    std::printf("shown_ms=%.0f rss_kib=%ld runs_ms=%s\n", median(times), median(residents), list.c_str());
    return 0;
}
