// A test's own connection to the X server, to act on the desktop and look at it.
#include "testdesktop.h"

#include <cstdlib>
#include <memory>
#include <stdexcept>
#include <vector>
#include <xcb/xcb.h>

namespace dwellmark::testing {

namespace {

template <class T>
std::unique_ptr<T, decltype(&std::free)> owned(T* reply) {
    return {reply, &std::free};
}

} // namespace

TestDesktop::TestDesktop(const std::string& display) {
    m_connection = xcb_connect(display.empty() ? nullptr : display.c_str(), nullptr);
    if (xcb_connection_has_error(m_connection) != 0) {
        xcb_disconnect(m_connection);
        throw std::runtime_error("cannot connect to the X server " + display);
    }
    m_root = xcb_setup_roots_iterator(xcb_get_setup(m_connection)).data->root;
}

TestDesktop::~TestDesktop() {
    xcb_disconnect(m_connection);
}

std::uint32_t TestDesktop::atom(std::string_view name) {
    auto reply = owned(xcb_intern_atom_reply(
        m_connection, xcb_intern_atom(m_connection, 0, static_cast<std::uint16_t>(name.size()), name.data()), nullptr));
    return reply != nullptr ? reply->atom : 0;
}

std::uint32_t TestDesktop::windowProperty(std::uint32_t window, std::uint32_t property) {
    auto reply = owned(xcb_get_property_reply(
        m_connection, xcb_get_property(m_connection, 0, window, property, XCB_ATOM_WINDOW, 0, 1), nullptr));
    if (reply == nullptr || reply->format != 32 || reply->value_len < 1) {
        return 0;
    }
    return *static_cast<const std::uint32_t*>(xcb_get_property_value(reply.get()));
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

std::uint32_t TestDesktop::createWindow(std::string_view title, bool mapped, std::uint32_t parent) {
    const xcb_window_t window = xcb_generate_id(m_connection);
    xcb_create_window(m_connection, XCB_COPY_FROM_PARENT, window, parent != 0 ? parent : m_root, 0, 0, 100, 100, 0,
                      XCB_WINDOW_CLASS_INPUT_OUTPUT, XCB_COPY_FROM_PARENT, 0, nullptr);
    if (!title.empty()) {
        xcb_change_property(m_connection, XCB_PROP_MODE_REPLACE, window, XCB_ATOM_WM_NAME, XCB_ATOM_STRING, 8,
                            static_cast<std::uint32_t>(title.size()), title.data());
    }
    if (mapped) {
        xcb_map_window(m_connection, window);
    }
    sync();
    return window;
}

void TestDesktop::destroyWindow(std::uint32_t window) {
    xcb_destroy_window(m_connection, window);
    sync();
}

void TestDesktop::mapWindow(std::uint32_t window) {
    xcb_map_window(m_connection, window);
    sync();
}

bool TestDesktop::framed(std::uint32_t window) {
    auto reply = owned(xcb_query_tree_reply(m_connection, xcb_query_tree(m_connection, window), nullptr));
    return reply != nullptr && reply->parent != m_root;
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

void TestDesktop::setInputFocus(std::uint32_t window) {
    xcb_set_input_focus(m_connection, XCB_INPUT_FOCUS_NONE, window, XCB_CURRENT_TIME);
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

bool TestDesktop::windowManagerRuns() {
    const std::uint32_t check = windowProperty(m_root, atom("_NET_SUPPORTING_WM_CHECK"));
    return check != 0 && windowProperty(check, atom("_NET_SUPPORTING_WM_CHECK")) == check;
}

std::uint32_t TestDesktop::activeWindow() {
    return windowProperty(m_root, atom("_NET_ACTIVE_WINDOW"));
}

std::uint32_t TestDesktop::findWindow(const std::string& wanted) {
    auto reply = owned(xcb_get_property_reply(
        m_connection, xcb_get_property(m_connection, 0, m_root, atom("_NET_CLIENT_LIST"), XCB_ATOM_WINDOW, 0, 4096),
        nullptr));
    if (reply == nullptr || reply->format != 32) {
        return 0;
    }
    const auto* windows = static_cast<const std::uint32_t*>(xcb_get_property_value(reply.get()));
    for (std::uint32_t i = 0; i < reply->value_len; ++i) {
        if (title(windows[i]) == wanted) {
            return windows[i];
        }
    }
    return 0;
}

std::string TestDesktop::title(std::uint32_t window) {
    auto reply = owned(xcb_get_property_reply(
        m_connection,
        xcb_get_property(m_connection, 0, window, atom("_NET_WM_NAME"), XCB_GET_PROPERTY_TYPE_ANY, 0, 1024), nullptr));
    if (reply == nullptr || reply->format != 8) {
        return {};
    }
    return {static_cast<const char*>(xcb_get_property_value(reply.get())),
            static_cast<std::size_t>(xcb_get_property_value_length(reply.get()))};
}

std::uint32_t TestDesktop::findMappedWindow(const std::string& wanted) {
    const auto children = [this](std::uint32_t parent) {
        std::vector<std::uint32_t> found;
        auto reply = owned(xcb_query_tree_reply(m_connection, xcb_query_tree(m_connection, parent), nullptr));
        if (reply != nullptr) {
            const auto* list = xcb_query_tree_children(reply.get());
            found.assign(list, list + xcb_query_tree_children_length(reply.get()));
        }
        return found;
    };
    const auto mapped = [this](std::uint32_t window) {
        auto reply = owned(
            xcb_get_window_attributes_reply(m_connection, xcb_get_window_attributes(m_connection, window), nullptr));
        return reply != nullptr && reply->map_state == XCB_MAP_STATE_VIEWABLE;
    };
    for (const std::uint32_t top : children(m_root)) {
        if (!mapped(top)) {
            continue;
        }
        if (title(top) == wanted) {
            return top;
        }
        for (const std::uint32_t inner : children(top)) {
            if (title(inner) == wanted && mapped(inner)) {
                return inner;
            }
        }
    }
    return 0;
}

bool TestDesktop::exists(std::uint32_t window) {
    xcb_generic_error_t* error = nullptr;
    auto reply =
        owned(xcb_get_window_attributes_reply(m_connection, xcb_get_window_attributes(m_connection, window), &error));
    std::free(error);
    return reply != nullptr;
}

} // namespace dwellmark::testing
