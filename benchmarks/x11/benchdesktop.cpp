#include "benchdesktop.h"

#include "platform/platform.h"

#include <chrono>
#include <cstdlib>
#include <stdexcept>
#include <string>
#include <thread>
#include <xcb/xcb.h>

namespace dwellmark::bench {

BenchDesktop::BenchDesktop(int windows) {
    m_connection = xcb_connect(nullptr, nullptr);
    if (xcb_connection_has_error(m_connection) != 0) {
        throw std::runtime_error("no X server: run under tests/support/with-display");
    }
    m_root = xcb_setup_roots_iterator(xcb_get_setup(m_connection)).data->root;
    const std::string name = "_NET_ACTIVE_WINDOW";
    auto* atom = xcb_intern_atom_reply(
        m_connection, xcb_intern_atom(m_connection, 0, static_cast<std::uint16_t>(name.size()), name.data()), nullptr);
    m_activeAtom = atom->atom;
    std::free(atom);

    m_windows = platform::createWindowSystem();
    m_clock = platform::createClock();
    m_tracker = std::make_unique<ActivityTracker>(*m_windows, *m_clock);
    for (int i = 0; i < windows; ++i) {
        const xcb_window_t id = xcb_generate_id(m_connection);
        xcb_create_window(m_connection, XCB_COPY_FROM_PARENT, id, m_root, 10, 10, 200, 100, 0,
                          XCB_WINDOW_CLASS_INPUT_OUTPUT, XCB_COPY_FROM_PARENT, 0, nullptr);
        const std::string title = "Window " + std::to_string(i + 1);
        xcb_change_property(m_connection, XCB_PROP_MODE_REPLACE, id, XCB_ATOM_WM_NAME, XCB_ATOM_STRING, 8,
                            static_cast<std::uint32_t>(title.size()), title.data());
        xcb_map_window(m_connection, id);
        m_ids.push_back(id);
        activate(id);
        m_tracker->tmrMain_Timer();
    }
}

BenchDesktop::~BenchDesktop() {
    xcb_disconnect(m_connection);
}

void BenchDesktop::activate(std::uint32_t window) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    for (int attempt = 0; (m_windows->beginTick(), m_windows->foregroundWindow()) != static_cast<WindowHandle>(window);
         ++attempt) {
        if (std::chrono::steady_clock::now() > deadline) {
            throw std::runtime_error("the window manager did not activate a window");
        }
        if (attempt % 50 == 0) {
            xcb_client_message_event_t message{};
            message.response_type = XCB_CLIENT_MESSAGE;
            message.format = 32;
            message.window = window;
            message.type = m_activeAtom;
            message.data.data32[0] = 2;
            xcb_send_event(m_connection, 0, m_root,
                           XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY | XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT,
                           reinterpret_cast<const char*>(&message));
            xcb_flush(m_connection);
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
}

std::uint32_t BenchDesktop::activeWindowByRoundTrip() {
    auto* reply = xcb_get_property_reply(
        m_connection, xcb_get_property(m_connection, 0, m_root, m_activeAtom, XCB_ATOM_WINDOW, 0, 1), nullptr);
    std::uint32_t window = 0;
    if (reply != nullptr && xcb_get_property_value_length(reply) >= 4) {
        window = *static_cast<const std::uint32_t*>(xcb_get_property_value(reply));
    }
    std::free(reply);
    return window;
}

} // namespace dwellmark::bench
