#include "desktopprobe.h"

#include <cstdlib>
#include <cstring>
#include <memory>
#include <stdexcept>
#include <xcb/xcb.h>

namespace dwellmark::testing {

namespace {

template <class T>
std::unique_ptr<T, decltype(&std::free)> owned(T* reply) {
    return {reply, &std::free};
}

} // namespace

DesktopProbe::DesktopProbe(const std::string& display) {
    m_connection = xcb_connect(display.c_str(), nullptr);
    if (xcb_connection_has_error(m_connection) != 0) {
        xcb_disconnect(m_connection);
        throw std::runtime_error("cannot connect to " + display);
    }
    m_root = xcb_setup_roots_iterator(xcb_get_setup(m_connection)).data->root;
}

DesktopProbe::~DesktopProbe() {
    xcb_disconnect(m_connection);
}

std::uint32_t DesktopProbe::atom(const char* name) {
    auto reply = owned(xcb_intern_atom_reply(
        m_connection, xcb_intern_atom(m_connection, 0, static_cast<std::uint16_t>(std::strlen(name)), name), nullptr));
    return reply != nullptr ? reply->atom : 0;
}

std::uint32_t DesktopProbe::windowProperty(std::uint32_t window, std::uint32_t property) {
    auto reply = owned(xcb_get_property_reply(
        m_connection, xcb_get_property(m_connection, 0, window, property, XCB_ATOM_WINDOW, 0, 1), nullptr));
    if (reply == nullptr || reply->format != 32 || reply->value_len < 1) {
        return 0;
    }
    return *static_cast<const std::uint32_t*>(xcb_get_property_value(reply.get()));
}

bool DesktopProbe::windowManagerRuns() {
    const std::uint32_t check = windowProperty(m_root, atom("_NET_SUPPORTING_WM_CHECK"));
    return check != 0 && windowProperty(check, atom("_NET_SUPPORTING_WM_CHECK")) == check;
}

std::uint32_t DesktopProbe::findWindow(const std::string& wanted) {
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

std::string DesktopProbe::title(std::uint32_t window) {
    auto reply = owned(xcb_get_property_reply(
        m_connection,
        xcb_get_property(m_connection, 0, window, atom("_NET_WM_NAME"), XCB_GET_PROPERTY_TYPE_ANY, 0, 1024), nullptr));
    if (reply == nullptr || reply->format != 8) {
        return {};
    }
    return {static_cast<const char*>(xcb_get_property_value(reply.get())),
            static_cast<std::size_t>(xcb_get_property_value_length(reply.get()))};
}

bool DesktopProbe::exists(std::uint32_t window) {
    xcb_generic_error_t* error = nullptr;
    auto reply =
        owned(xcb_get_window_attributes_reply(m_connection, xcb_get_window_attributes(m_connection, window), &error));
    std::free(error);
    return reply != nullptr;
}

} // namespace dwellmark::testing
