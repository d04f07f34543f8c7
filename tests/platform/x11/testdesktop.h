#pragma once

#include <cstdint>
#include <string>
#include <string_view>

struct xcb_connection_t;

namespace dwellmark::testing {

/// A test's own connection to the X server: it asks the window manager to
/// activate windows, or plays the window manager's part on a bare server.
class TestDesktop final {
public:
    explicit TestDesktop(const std::string& display);
    ~TestDesktop();

    TestDesktop(const TestDesktop&) = delete;
    TestDesktop& operator=(const TestDesktop&) = delete;

    /// Asks the window manager to activate the window (as a pager would).
    void requestActivation(std::uint32_t window);

    /// A plain unmapped top-level window of this connection.
    std::uint32_t createWindow();
    void destroyWindow(std::uint32_t window);

    /// The window manager's part: a check window named on the root window and by itself.
    std::uint32_t announceWindowManager();
    /// Writes _NET_ACTIVE_WINDOW on the root window (0 writes None).
    void setActiveWindow(std::uint32_t window);
    void removeActiveWindow();

    /// Sets an 8-bit property of the given type on a window.
    void setText(std::uint32_t window, std::string_view property, std::string_view type, std::string_view bytes);

    /// Waits until the server has done everything asked so far.
    void sync();

private:
    std::uint32_t atom(std::string_view name);

    xcb_connection_t* m_connection = nullptr;
    std::uint32_t m_root = 0;
};

} // namespace dwellmark::testing
