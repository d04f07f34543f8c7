#pragma once

#include <cstdint>
#include <string>

struct xcb_connection_t;

namespace dwellmark::testing {

/// A test's own plain connection to an X server, to check what the program
/// under test should see. Unlike the backend it is never fatal: once the
/// server is gone every question is answered with "no".
class DesktopProbe final {
public:
    explicit DesktopProbe(const std::string& display);
    ~DesktopProbe();

    DesktopProbe(const DesktopProbe&) = delete;
    DesktopProbe& operator=(const DesktopProbe&) = delete;

    /// Whether an EWMH window manager has announced itself on the root window.
    bool windowManagerRuns();

    /// The first window the window manager lists (_NET_CLIENT_LIST) with that
    /// title, 0 when none.
    std::uint32_t findWindow(const std::string& title);

    /// The window's _NET_WM_NAME, empty when it has none or is gone.
    std::string title(std::uint32_t window);

    /// Whether the window exists now.
    bool exists(std::uint32_t window);

private:
    std::uint32_t atom(const char* name);
    std::uint32_t windowProperty(std::uint32_t window, std::uint32_t property);

    xcb_connection_t* m_connection = nullptr;
    std::uint32_t m_root = 0;
};

} // namespace dwellmark::testing
