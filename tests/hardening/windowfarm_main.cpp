// Many top-level windows of one process, for the hardening tests. It obeys
// commands on its standard input, one a line, and answers each with one line:
//   create N PREFIX [K] makes N windows titled "PREFIX 0" ... "PREFIX N-1" and maps every
//                      K-th of them, from the first (K = 1: all); answers their ids
//   activate ID        asks the window manager to activate the window; answers "ok"
//   destroy ID...      destroys the windows ("all": every window it made); answers "ok"
//   spin ID COUNT      gives the window a new title COUNT times, one a millisecond; answers "ok"
//   churn MS SEED      for MS milliseconds makes, activates and destroys windows at random
//                      moments; answers "ok CREATED ACTIVATED"
// End of input ends it. A broken connection ends it with status 3.
#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <iostream>
#include <random>
#include <sstream>
#include <string>
#include <string_view>
#include <thread>
#include <unistd.h>
#include <vector>
#include <xcb/xcb.h>

namespace {

class Farm final {
public:
    explicit Farm(xcb_connection_t* connection)
        : m_connection(connection), m_root(xcb_setup_roots_iterator(xcb_get_setup(connection)).data->root),
          m_netWmName(atom("_NET_WM_NAME")), m_utf8String(atom("UTF8_STRING")), m_netWmPid(atom("_NET_WM_PID")),
          m_netActiveWindow(atom("_NET_ACTIVE_WINDOW")), m_netWmUserTime(atom("_NET_WM_USER_TIME")) {
        char host[256] = {};
        gethostname(host, sizeof host - 1);
        m_host = host;
    }

    xcb_window_t create(std::string_view title, bool mapped = true) {
        const xcb_window_t window = xcb_generate_id(m_connection);
        xcb_create_window(m_connection, XCB_COPY_FROM_PARENT, window, m_root, 0, 0, 120, 60, 0,
                          XCB_WINDOW_CLASS_INPUT_OUTPUT, XCB_COPY_FROM_PARENT, 0, nullptr);
        setTitle(window, title);
        const auto pid = static_cast<std::uint32_t>(getpid());
        xcb_change_property(m_connection, XCB_PROP_MODE_REPLACE, window, m_netWmPid, XCB_ATOM_CARDINAL, 32, 1, &pid);
        xcb_change_property(m_connection, XCB_PROP_MODE_REPLACE, window, XCB_ATOM_WM_CLIENT_MACHINE, XCB_ATOM_STRING, 8,
                            static_cast<std::uint32_t>(m_host.size()), m_host.data());
        // A user time of 0 asks the window manager not to activate the window
        // when it appears: only the test decides which window is active.
        const std::uint32_t never = 0;
        xcb_change_property(m_connection, XCB_PROP_MODE_REPLACE, window, m_netWmUserTime, XCB_ATOM_CARDINAL, 32, 1,
                            &never);
        if (mapped) {
            xcb_map_window(m_connection, window);
        }
        m_windows.push_back(window);
        return window;
    }

    void setTitle(xcb_window_t window, std::string_view title) {
        xcb_change_property(m_connection, XCB_PROP_MODE_REPLACE, window, m_netWmName, m_utf8String, 8,
                            static_cast<std::uint32_t>(title.size()), title.data());
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

private:
    xcb_atom_t atom(std::string_view name) {
        auto* reply = xcb_intern_atom_reply(
            m_connection, xcb_intern_atom(m_connection, 0, static_cast<std::uint16_t>(name.size()), name.data()),
            nullptr);
        const xcb_atom_t value = reply != nullptr ? reply->atom : 0;
        std::free(reply);
        return value;
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
std::pair<unsigned, unsigned> churn(Farm& farm, std::chrono::milliseconds duration, unsigned seed) {
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

int main() {
    xcb_connection_t* connection = xcb_connect(nullptr, nullptr);
    if (xcb_connection_has_error(connection) != 0) {
        std::cerr << "windowfarm: no display\n";
        return 1;
    }
    Farm farm(connection);
    std::string line;
    while (std::getline(std::cin, line)) {
        std::istringstream words(line);
        std::string command;
        words >> command;
        std::string answer = "ok";
        if (command == "create") {
            unsigned count = 0;
            std::string prefix;
            unsigned every = 1;
            words >> count >> prefix >> every;
            answer.clear();
            for (unsigned i = 0; i < count; ++i) {
                const xcb_window_t window = farm.create(prefix + " " + std::to_string(i), i % std::max(every, 1U) == 0);
                answer += (i == 0 ? "" : " ") + std::to_string(window);
            }
        } else if (command == "activate") {
            xcb_window_t window = 0;
            words >> window;
            farm.activate(window);
        } else if (command == "destroy") {
            std::string word;
            while (words >> word) {
                if (word == "all") {
                    farm.destroyAll();
                } else {
                    farm.destroy(static_cast<xcb_window_t>(std::stoul(word)));
                }
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
            answer = "ok " + std::to_string(created) + " " + std::to_string(activated);
        } else {
            answer = "unknown command: " + line;
        }
        if (!farm.sync()) {
            return 3;
        }
        std::cout << answer << std::endl;
    }
    xcb_disconnect(connection);
    return 0;
}
