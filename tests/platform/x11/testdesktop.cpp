#include "testdesktop.h"

#include <cstdlib>
#include <stdexcept>
#include <xcb/xcb.h>

namespace dwellmark::testing {

TestDesktop::TestDesktop(const std::string& display) {
    m_connection = xcb_connect(display.c_str(), nullptr);
    if (xcb_connection_has_error(m_connection) != 0) {
        xcb_disconnect(m_connection);
        throw std::runtime_error("cannot connect to " + display);
    }
    m_root = xcb_setup_roots_iterator(xcb_get_setup(m_connection)).data->root;
}

TestDesktop::~TestDesktop() {
    xcb_disconnect(m_connection);
}

std::uint32_t TestDesktop::atom(std::string_view name) {
    auto* reply = xcb_intern_atom_reply(
        m_connection, xcb_intern_atom(m_connection, 0, static_cast<std::uint16_t>(name.size()), name.data()), nullptr);
    if (reply == nullptr) {
        throw std::runtime_error("intern atom failed");
    }
    const std::uint32_t value = reply->atom;
    std::free(reply);
    return value;
}

void TestDesktop::requestActivation(std::uint32_t window) {
    xcb_client_message_event_t message{};
    message.response_type = XCB_CLIENT_MESSAGE;
    message.format = 32;
    message.window = window;
    message.type = atom("_NET_ACTIVE_WINDOW");
    message.data.data32[0] = 2; // from a pager: not subject to focus-stealing prevention
    message.data.data32[1] = XCB_CURRENT_TIME;
    xcb_send_event(m_connection, 0, m_root, XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY | XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT,
                   reinterpret_cast<const char*>(&message));
    sync();
}

std::uint32_t TestDesktop::createWindow() {
    const xcb_window_t window = xcb_generate_id(m_connection);
    xcb_create_window(m_connection, XCB_COPY_FROM_PARENT, window, m_root, 0, 0, 100, 100, 0,
                      XCB_WINDOW_CLASS_INPUT_OUTPUT, XCB_COPY_FROM_PARENT, 0, nullptr);
    sync();
    return window;
}

void TestDesktop::destroyWindow(std::uint32_t window) {
    xcb_destroy_window(m_connection, window);
    sync();
}

std::uint32_t TestDesktop::announceWindowManager() {
    const std::uint32_t check = createWindow();
    const std::uint32_t name = atom("_NET_SUPPORTING_WM_CHECK");
    xcb_change_property(m_connection, XCB_PROP_MODE_REPLACE, check, name, XCB_ATOM_WINDOW, 32, 1, &check);
    xcb_change_property(m_connection, XCB_PROP_MODE_REPLACE, m_root, name, XCB_ATOM_WINDOW, 32, 1, &check);
    sync();
    return check;
}

void TestDesktop::setActiveWindow(std::uint32_t window) {
    xcb_change_property(m_connection, XCB_PROP_MODE_REPLACE, m_root, atom("_NET_ACTIVE_WINDOW"), XCB_ATOM_WINDOW, 32, 1,
                        &window);
    sync();
}

void TestDesktop::removeActiveWindow() {
    xcb_delete_property(m_connection, m_root, atom("_NET_ACTIVE_WINDOW"));
    sync();
}

void TestDesktop::setText(std::uint32_t window, std::string_view property, std::string_view type,
                          std::string_view bytes) {
    xcb_change_property(m_connection, XCB_PROP_MODE_REPLACE, window, atom(property), atom(type), 8,
                        static_cast<std::uint32_t>(bytes.size()), bytes.data());
    sync();
}

void TestDesktop::sync() {
    std::free(xcb_get_input_focus_reply(m_connection, xcb_get_input_focus(m_connection), nullptr));
}

} // namespace dwellmark::testing
