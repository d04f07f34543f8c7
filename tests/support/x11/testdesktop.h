// A test's own connection to the X server, to act on the desktop and look at it.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

struct xcb_connection_t;

namespace dwellmark::testing {

/// A test's own connection to the X server: it asks the window manager to
/// activate windows, plays the window manager's part on a bare server, and
/// checks what the program under test should see. Its questions are never
/// fatal: once the server is gone every one is answered with "no".
class TestDesktop final {
public:
    /// Connects to the display, by default that of $DISPLAY. Throws
    /// std::runtime_error when it cannot be reached.
    explicit TestDesktop(const std::string& display = {});
    ~TestDesktop();

    TestDesktop(const TestDesktop&) = delete;
    TestDesktop& operator=(const TestDesktop&) = delete;

    /// Asks the window manager to activate the window (as a pager would).
    void requestActivation(std::uint32_t window);

    /// A plain top-level window of this connection (a child of parent, when
    /// given), unmapped unless asked, titled when a title is given.
    std::uint32_t createWindow(std::string_view title = {}, bool mapped = false, std::uint32_t parent = 0);
    void destroyWindow(std::uint32_t window);
    /// Asks for the window to be mapped (through the window manager, when one runs).
    void mapWindow(std::uint32_t window);
    /// Whether the window manager has taken the window on: it sits in a frame
    /// instead of directly under the root window.
    bool framed(std::uint32_t window);

    /// The window manager's part: a check window named on the root window and by itself.
    std::uint32_t announceWindowManager();
    /// Writes _NET_ACTIVE_WINDOW on the root window (0 writes None).
    void setActiveWindow(std::uint32_t window);
    void removeActiveWindow();
    /// Gives the window the X input focus (0: none), as a window manager that keeps no _NET_ACTIVE_WINDOW does.
    void setInputFocus(std::uint32_t window);

    /// Sets an 8-bit property of the given type on a window.
    void setText(std::uint32_t window, std::string_view property, std::string_view type, std::string_view bytes);

    /// Waits until the server has done everything asked so far.
    void sync();

    /// Whether an EWMH window manager has announced itself on the root window.
    bool windowManagerRuns();
    /// The root window's _NET_ACTIVE_WINDOW, read from the server; 0 when none.
    std::uint32_t activeWindow();
    /// The first window the window manager lists (_NET_CLIENT_LIST) with that
    /// title, 0 when none.
    std::uint32_t findWindow(const std::string& title);
    /// A mapped window with the title among the root's children or, when the
    /// window manager framed it, their children: also a window that the
    /// window manager has not taken on (yet). 0 when there is none.
    std::uint32_t findMappedWindow(const std::string& title);
    /// The window's _NET_WM_NAME, empty when it has none or is gone.
    std::string title(std::uint32_t window);
    /// Whether the window exists now.
    bool exists(std::uint32_t window);

private:
    std::uint32_t atom(std::string_view name);
    std::uint32_t windowProperty(std::uint32_t window, std::uint32_t property);

    xcb_connection_t* m_connection = nullptr;
    std::uint32_t m_root = 0;
};

} // namespace dwellmark::testing
