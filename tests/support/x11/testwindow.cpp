// The test-window program: top-level windows owned by a process of their own,
// for the tests and the benchmarks.
//   x11_test_window [--no-window] [--net-name BYTES] [--latin1-name TEXT] [--compound-name TEXT]
//                   [--no-pid] [--machine NAME | --no-machine]
// Unless told --no-window it makes one window at start, named as the options
// say, and prints its id. Then it obeys commands on its standard input, one a
// line, and answers each with one line:
//   create N PREFIX [K] makes N windows titled "PREFIX 0" ... "PREFIX N-1" and maps every
//                      K-th of them, from the first (K = 1: all); answers their ids
//   activate ID        asks the window manager to activate the window; answers "ok"
//   title ID TEXT      gives the window a new title; answers "ok"
//   destroy [ID...]    destroys the windows ("all", or none named: every window it made); answers "ok"
//   spin ID COUNT      gives the window a new title COUNT times, one a millisecond; answers "ok"
//   churn MS SEED      for MS milliseconds makes, activates and destroys windows at random
//                      moments; answers "ok CREATED ACTIVATED"
//   cycle MS[,MS...] [FILE]
//                      activates its windows in turn, one every MS milliseconds (several: waiting
//                      each of them in turn), until the next
//                      line comes; answers "ready" once the window manager has made the first
//                      active, and at the end "switches_requested=N switches_seen=M". Between
//                      switches it waits on its connection, so that it reads each change of the
//                      active window as soon as the X server sends it; with FILE it writes each
//                      there as a line "WINDOW NS" (CLOCK_MONOTONIC nanoseconds of the read),
//                      the start of the notice latency of a tracker
// End of input ends it. A broken connection ends it with status 3.
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <algorithm>
#include <array>
#include <cerrno>
#include <chrono>
#include <clocale>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <poll.h>
#include <random>
#include <sstream>
#include <string>
#include <string_view>
#include <thread>
#include <time.h>
#include <unistd.h>
#include <vector>
#include <xcb/xcb.h>

namespace {

// UTF-8 text (code points up to U+00FF) as ISO 8859-1 bytes.
std::string toLatin1(const std::string& utf8) {
    std::string out;
    for (std::size_t i = 0; i < utf8.size(); ++i) {
        const auto byte = static_cast<unsigned char>(utf8[i]);
        if ((byte & 0xE0U) == 0xC0U && i + 1 < utf8.size()) {
            out.push_back(static_cast<char>(((byte & 0x1FU) << 6U) | (static_cast<unsigned char>(utf8[++i]) & 0x3FU)));
        } else {
            out.push_back(static_cast<char>(byte));
        }
    }
    return out;
}

/// Lines of standard input, read without a buffer that poll() cannot see.
class InputLines final {
public:
    /// The next line; nothing at the end of input.
    std::optional<std::string> next() {
        while (true) {
            if (const auto end = m_pending.find('\n'); end != std::string::npos) {
                std::string line = m_pending.substr(0, end);
                m_pending.erase(0, end + 1);
                return line;
            }
            char buffer[4096];
            const ssize_t got = read(STDIN_FILENO, buffer, sizeof buffer);
            if (got < 0 && errno == EINTR) {
                continue;
            }
            if (got <= 0) {
                return std::nullopt;
            }
            m_pending.append(buffer, static_cast<std::size_t>(got));
        }
    }

    /// Whether a whole line was read already and waits here, not on the descriptor.
    bool hasLine() const { return m_pending.find('\n') != std::string::npos; }

private:
    std::string m_pending;
};

void answer(const std::string& line) {
    std::printf("%s\n", line.c_str());
    std::fflush(stdout);
}

class Windows final {
public:
    explicit Windows(xcb_connection_t* connection)
        : m_connection(connection), m_root(xcb_setup_roots_iterator(xcb_get_setup(connection)).data->root),
          m_netWmName(atom("_NET_WM_NAME")), m_utf8String(atom("UTF8_STRING")), m_netWmPid(atom("_NET_WM_PID")),
          m_netActiveWindow(atom("_NET_ACTIVE_WINDOW")), m_netWmUserTime(atom("_NET_WM_USER_TIME")) {
        char host[256] = {};
        gethostname(host, sizeof host - 1);
        m_host = host;
    }

    /// The window of the command line, named as its options say; 0 after an unknown option.
    xcb_window_t createNamed(int argc, char** argv) {
        const xcb_window_t window = xcb_generate_id(m_connection);
        xcb_create_window(m_connection, XCB_COPY_FROM_PARENT, window, m_root, 10, 10, 200, 100, 0,
                          XCB_WINDOW_CLASS_INPUT_OUTPUT, XCB_COPY_FROM_PARENT, 0, nullptr);
        bool pid = true;
        bool machine = true;
        std::string machineName = m_host;
        for (int i = 1; i < argc; ++i) {
            const std::string option = argv[i];
            const std::string value = i + 1 < argc ? argv[i + 1] : "";
            if (option == "--net-name") {
                setBytes(window, m_netWmName, m_utf8String, value);
                ++i;
            } else if (option == "--latin1-name") {
                setBytes(window, XCB_ATOM_WM_NAME, XCB_ATOM_STRING, toLatin1(value));
                ++i;
            } else if (option == "--compound-name") {
                if (!setCompoundName(window, value)) {
                    return 0;
                }
                ++i;
            } else if (option == "--no-pid") {
                pid = false;
            } else if (option == "--machine") {
                machineName = value;
                ++i;
            } else if (option == "--no-machine") {
                machine = false;
            } else {
                std::fprintf(stderr, "x11_test_window: unknown option %s\n", option.c_str());
                return 0;
            }
        }
        if (pid) {
            const auto own = static_cast<std::uint32_t>(getpid());
            xcb_change_property(m_connection, XCB_PROP_MODE_REPLACE, window, m_netWmPid, XCB_ATOM_CARDINAL, 32, 1,
                                &own);
        }
        if (machine) {
            setBytes(window, XCB_ATOM_WM_CLIENT_MACHINE, XCB_ATOM_STRING, machineName);
        }
        xcb_map_window(m_connection, window);
        m_windows.push_back(window);
        return window;
    }

    /// A window of a series: they cascade down the left and right edges of the
    /// screen, clear of its centre, where a program under test shows its window.
    xcb_window_t create(std::string_view title, bool mapped = true) {
        const std::size_t step = m_made / 2;
        const auto x = static_cast<std::int16_t>(m_made % 2 == 0 ? 10 + (step % 5) * 16 : 950 + (step % 5) * 16);
        const auto y = static_cast<std::int16_t>(30 + (step % 25) * 30);
        ++m_made;
        const xcb_window_t window = xcb_generate_id(m_connection);
        xcb_create_window(m_connection, XCB_COPY_FROM_PARENT, window, m_root, x, y, 250, 160, 0,
                          XCB_WINDOW_CLASS_INPUT_OUTPUT, XCB_COPY_FROM_PARENT, 0, nullptr);
        setTitle(window, title);
        const auto pid = static_cast<std::uint32_t>(getpid());
        xcb_change_property(m_connection, XCB_PROP_MODE_REPLACE, window, m_netWmPid, XCB_ATOM_CARDINAL, 32, 1, &pid);
        setBytes(window, XCB_ATOM_WM_CLIENT_MACHINE, XCB_ATOM_STRING, m_host);
        // A user time of 0 asks the window manager not to activate the window
        // when it appears: only the test decides which window is active.
        const std::uint32_t never = 0;
        xcb_change_property(m_connection, XCB_PROP_MODE_REPLACE, window, m_netWmUserTime, XCB_ATOM_CARDINAL, 32, 1,
                            &never);
        // A position the user chose, so that the window manager keeps it.
        std::array<std::uint32_t, 18> hints{};
        hints[0] = 1U | 2U; // USPosition | USSize
        hints[1] = static_cast<std::uint32_t>(x);
        hints[2] = static_cast<std::uint32_t>(y);
        hints[3] = 250;
        hints[4] = 160;
        xcb_change_property(m_connection, XCB_PROP_MODE_REPLACE, window, XCB_ATOM_WM_NORMAL_HINTS,
                            XCB_ATOM_WM_SIZE_HINTS, 32, static_cast<std::uint32_t>(hints.size()), hints.data());
        if (mapped) {
            xcb_map_window(m_connection, window);
        }
        m_windows.push_back(window);
        return window;
    }

    // Also as WM_NAME, for the tools (xdotool) that read only that.
    void setTitle(xcb_window_t window, std::string_view title) {
        setBytes(window, m_netWmName, m_utf8String, title);
        setBytes(window, XCB_ATOM_WM_NAME, XCB_ATOM_STRING, title);
    }

    void activate(xcb_window_t window) {
        xcb_client_message_event_t message{};
        message.response_type = XCB_CLIENT_MESSAGE;
        message.format = 32;
        message.window = window;
        message.type = m_netActiveWindow;
        message.data.data32[0] = 2; // as a pager asks: not subject to focus-stealing prevention
        message.data.data32[1] = XCB_CURRENT_TIME;
        xcb_send_event(m_connection, 0, m_root,
                       XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY | XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT,
                       reinterpret_cast<const char*>(&message));
    }

    std::uint32_t activeWindow() {
        xcb_get_property_reply_t* reply = xcb_get_property_reply(
            m_connection, xcb_get_property(m_connection, 0, m_root, m_netActiveWindow, XCB_ATOM_WINDOW, 0, 1), nullptr);
        std::uint32_t window = 0;
        if (reply != nullptr && xcb_get_property_value_length(reply) >= 4) {
            window = *static_cast<const std::uint32_t*>(xcb_get_property_value(reply));
        }
        std::free(reply);
        return window;
    }

    void destroy(xcb_window_t window) {
        xcb_destroy_window(m_connection, window);
        std::erase(m_windows, window);
    }

    void destroyAll() {
        for (const xcb_window_t window : m_windows) {
            xcb_destroy_window(m_connection, window);
        }
        m_windows.clear();
    }

    /// Waits until the server has done everything asked so far; false when the connection broke.
    bool sync() {
        std::free(xcb_get_input_focus_reply(m_connection, xcb_get_input_focus(m_connection), nullptr));
        // Errors about windows the window manager had already let go are of no interest.
        while (xcb_generic_event_t* event = xcb_poll_for_event(m_connection)) {
            std::free(event);
        }
        return xcb_connection_has_error(m_connection) == 0;
    }

    void flush() { xcb_flush(m_connection); }

    std::vector<xcb_window_t>& windows() { return m_windows; }

    /// Activates the windows in turn until a line waits on the input; the
    /// answer counts the switches asked for and those the window manager made.
    /// Each change read is written to changes, when given.
    std::string cycle(const std::vector<std::chrono::milliseconds>& intervals, InputLines& input, std::FILE* changes) {
        if (m_windows.empty()) {
            return "no windows";
        }
        // The window manager needs a moment to take new windows in: the first
        // is asked for until it is active (a limit only against a hang).
        const auto limit = std::chrono::steady_clock::now() + std::chrono::minutes(2);
        for (int attempt = 0; activeWindow() != m_windows.front(); ++attempt) {
            if (std::chrono::steady_clock::now() > limit || xcb_connection_has_error(m_connection) != 0) {
                return "the window manager did not activate a window";
            }
            if (attempt % 25 == 0) {
                activate(m_windows.front());
                flush();
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        }
        const std::uint32_t rootEvents = XCB_EVENT_MASK_PROPERTY_CHANGE;
        xcb_change_window_attributes(m_connection, m_root, XCB_CW_EVENT_MASK, &rootEvents);
        sync();
        answer("ready");

        long requested = 0;
        m_changesSeen = 0;
        m_lastActive = m_windows.front();
        auto next = std::chrono::steady_clock::now();
        while (true) {
            next += intervals[static_cast<std::size_t>(requested) % intervals.size()];
            if (watchUntil(next, input, changes)) {
                break;
            }
            activate(m_windows[static_cast<std::size_t>(++requested) % m_windows.size()]);
            flush();
        }
        readChanges(changes);
        // The line that ended the cycle is its own, not a command.
        input.next();
        const std::uint32_t none = 0;
        xcb_change_window_attributes(m_connection, m_root, XCB_CW_EVENT_MASK, &none);
        return "switches_requested=" + std::to_string(requested) + " switches_seen=" + std::to_string(m_changesSeen);
    }

private:
    xcb_atom_t atom(std::string_view name) {
        auto* reply = xcb_intern_atom_reply(
            m_connection, xcb_intern_atom(m_connection, 0, static_cast<std::uint16_t>(name.size()), name.data()),
            nullptr);
        const xcb_atom_t value = reply != nullptr ? reply->atom : 0;
        std::free(reply);
        return value;
    }

    void setBytes(xcb_window_t window, xcb_atom_t property, xcb_atom_t type, std::string_view bytes) {
        xcb_change_property(m_connection, XCB_PROP_MODE_REPLACE, window, property, type, 8,
                            static_cast<std::uint32_t>(bytes.size()), bytes.data());
    }

    // COMPOUND_TEXT as Xlib makes it from UTF-8 text.
    bool setCompoundName(xcb_window_t window, const std::string& utf8) {
        Display* display = XOpenDisplay(nullptr);
        if (display == nullptr) {
            return false;
        }
        char* list[] = {const_cast<char*>(utf8.c_str())};
        XTextProperty text{};
        const bool converted = Xutf8TextListToTextProperty(display, list, 1, XCompoundTextStyle, &text) >= Success;
        if (converted) {
            setBytes(window, XCB_ATOM_WM_NAME, static_cast<xcb_atom_t>(text.encoding),
                     std::string_view(reinterpret_cast<const char*>(text.value), text.nitems));
            XFree(text.value);
        } else {
            std::fputs("x11_test_window: no COMPOUND_TEXT conversion\n", stderr);
        }
        XCloseDisplay(display);
        return converted;
    }

    /// Reads the changes of the active window as they come, until the time or
    /// until a line waits on the input (then true).
    bool watchUntil(std::chrono::steady_clock::time_point until, InputLines& input, std::FILE* changes) {
        while (!input.hasLine()) {
            const auto left = std::chrono::ceil<std::chrono::milliseconds>(until - std::chrono::steady_clock::now());
            if (left.count() <= 0) {
                return false;
            }
            std::array<pollfd, 2> watched{
                {{STDIN_FILENO, POLLIN, 0}, {xcb_get_file_descriptor(m_connection), POLLIN, 0}}};
            if (poll(watched.data(), watched.size(), static_cast<int>(left.count())) <= 0) {
                continue;
            }
            if (watched[1].revents != 0) {
                readChanges(changes);
            }
            if (watched[0].revents != 0) {
                return true;
            }
        }
        return true;
    }

    /// Reads the events that have come, counting the changes of the active
    /// window among them (each is read back, as the notice carries no value).
    void readChanges(std::FILE* changes) {
        // The round trip that reads the new value back may bring the next
        // change along into xcb's queue, where the descriptor no longer tells
        // of it: go round until nothing is left.
        while (true) {
            bool notified = false;
            timespec readAt{};
            while (xcb_generic_event_t* event = xcb_poll_for_event(m_connection)) {
                if (!notified && (event->response_type & 0x7FU) == XCB_PROPERTY_NOTIFY &&
                    reinterpret_cast<xcb_property_notify_event_t*>(event)->atom == m_netActiveWindow) {
                    notified = true;
                    clock_gettime(CLOCK_MONOTONIC, &readAt);
                }
                std::free(event);
            }
            if (!notified) {
                return;
            }
            const std::uint32_t active = activeWindow();
            if (active == m_lastActive) {
                continue;
            }
            m_lastActive = active;
            // For a moment between two windows the window manager may name
            // none: that is no switch.
            m_changesSeen += active != 0 ? 1 : 0;
            if (changes != nullptr) {
                std::fprintf(changes, "%u %lld\n", active,
                             static_cast<long long>(readAt.tv_sec) * 1000000000LL + readAt.tv_nsec);
                std::fflush(changes);
            }
        }
    }

    xcb_connection_t* m_connection;
    xcb_window_t m_root;
    xcb_atom_t m_netWmName;
    xcb_atom_t m_utf8String;
    xcb_atom_t m_netWmPid;
    xcb_atom_t m_netActiveWindow;
    xcb_atom_t m_netWmUserTime;
    std::string m_host;
    std::vector<xcb_window_t> m_windows;
    std::size_t m_made = 0;
    std::uint32_t m_lastActive = 0;
    long m_changesSeen = 0;
};

// Titles as programs really set them, and as they should not: empty, long,
// with NULs and with bytes that are no UTF-8.
std::string randomTitle(std::mt19937& random, unsigned serial) {
    std::string title = "Churn " + std::to_string(serial);
    switch (random() % 6) {
    case 0:
        return {};
    case 1:
        title.append(random() % 5000, 'x');
        break;
    case 2:
        title += std::string_view("\xFF\xC3(\xE2\x82", 6);
        break;
    case 3:
        title += std::string_view("\0hidden", 7);
        break;
    default:
        break;
    }
    return title;
}

// Windows appear, are activated and go at random moments, so that the
// tracker's questions about them meet every stage of a window's life.
std::pair<unsigned, unsigned> churn(Windows& farm, std::chrono::milliseconds duration, unsigned seed) {
    std::mt19937 random(seed);
    unsigned created = 0;
    unsigned activated = 0;
    const auto end = std::chrono::steady_clock::now() + duration;
    while (std::chrono::steady_clock::now() < end) {
        auto& windows = farm.windows();
        const unsigned action = static_cast<unsigned>(random() % 10);
        if (windows.size() < 3 || (action < 4 && windows.size() < 40)) {
            farm.create(randomTitle(random, created++));
        } else if (action < 7) {
            farm.activate(windows[random() % windows.size()]);
            ++activated;
        } else if (action < 9) {
            farm.destroy(windows[random() % windows.size()]);
        } else {
            // The window just activated goes before or just after it gets the foreground.
            const xcb_window_t window = windows[random() % windows.size()];
            farm.activate(window);
            ++activated;
            farm.flush();
            std::this_thread::sleep_for(std::chrono::microseconds(random() % 3000));
            farm.destroy(window);
        }
        farm.flush();
        std::this_thread::sleep_for(std::chrono::microseconds(random() % 2000));
        if (!farm.sync()) {
            std::exit(3);
        }
    }
    return {created, activated};
}

} // namespace

int main(int argc, char** argv) {
    std::setlocale(LC_ALL, "C.UTF-8");
    const bool startWindow = !(argc > 1 && std::string_view(argv[1]) == "--no-window");
    xcb_connection_t* connection = xcb_connect(nullptr, nullptr);
    if (xcb_connection_has_error(connection) != 0) {
        std::fputs("x11_test_window: no display\n", stderr);
        return 1;
    }
    Windows farm(connection);
    if (startWindow) {
        const xcb_window_t window = farm.createNamed(argc, argv);
        if (window == 0) {
            return 2;
        }
        if (!farm.sync()) {
            return 3;
        }
        answer(std::to_string(window));
    }
    InputLines input;
    while (const auto line = input.next()) {
        std::istringstream words(*line);
        std::string command;
        words >> command;
        std::string reply = "ok";
        if (command == "create") {
            unsigned count = 0;
            std::string prefix;
            unsigned every = 1;
            words >> count >> prefix >> every;
            reply.clear();
            for (unsigned i = 0; i < count; ++i) {
                const xcb_window_t window = farm.create(prefix + " " + std::to_string(i), i % std::max(every, 1U) == 0);
                reply += (i == 0 ? "" : " ") + std::to_string(window);
            }
        } else if (command == "activate") {
            xcb_window_t window = 0;
            words >> window;
            farm.activate(window);
        } else if (command == "title") {
            xcb_window_t window = 0;
            words >> window;
            std::string title;
            std::getline(words >> std::ws, title);
            farm.setTitle(window, title);
        } else if (command == "destroy") {
            std::string word;
            bool named = false;
            while (words >> word) {
                named = true;
                if (word == "all") {
                    farm.destroyAll();
                } else {
                    farm.destroy(static_cast<xcb_window_t>(std::stoul(word)));
                }
            }
            if (!named) {
                farm.destroyAll();
            }
        } else if (command == "spin") {
            xcb_window_t window = 0;
            unsigned count = 0;
            words >> window >> count;
            for (unsigned i = 1; i <= count; ++i) {
                farm.setTitle(window, "Spin " + std::to_string(i));
                farm.flush();
                std::this_thread::sleep_for(std::chrono::milliseconds(1));
            }
        } else if (command == "churn") {
            long milliseconds = 0;
            unsigned seed = 0;
            words >> milliseconds >> seed;
            const auto [created, activated] = churn(farm, std::chrono::milliseconds(milliseconds), seed);
            farm.destroyAll();
            reply = "ok " + std::to_string(created) + " " + std::to_string(activated);
        } else if (command == "cycle") {
            std::string list;
            words >> list;
            std::vector<std::chrono::milliseconds> intervals;
            std::istringstream each(list);
            for (std::string item; std::getline(each, item, ',');) {
                intervals.emplace_back(std::max(std::atol(item.c_str()), 1L));
            }
            if (intervals.empty()) {
                intervals.emplace_back(100);
            }
            std::string path;
            std::getline(words >> std::ws, path);
            std::FILE* changes = path.empty() ? nullptr : std::fopen(path.c_str(), "w");
            if (!path.empty() && changes == nullptr) {
                reply = "cannot write " + path;
            } else {
                reply = farm.cycle(intervals, input, changes);
            }
            if (changes != nullptr) {
                std::fclose(changes);
            }
        } else {
            reply = "unknown command: " + *line;
        }
        if (!farm.sync()) {
            return 3;
        }
        answer(reply);
    }
    xcb_disconnect(connection);
    return 0;
}
