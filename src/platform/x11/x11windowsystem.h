#pragma once

#include "tracking/windowsystem.h"
#include "xlibtextdecoder.h"

#include <cstdint>
#include <string>
#include <unordered_map>

struct xcb_connection_t;

namespace dwellmark::platform::x11 {

/// The windows of an X11 desktop, as an EWMH window manager describes them.
///
/// The foreground window and whether a window exists are asked on every tick,
/// so they are answered from events (changes of the root window's
/// _NET_ACTIVE_WINDOW, destruction of the windows asked about) read without
/// blocking: a tick without a change costs no round trip to the X server.
/// The connection is read at the start of each call, except that the
/// existence questions that follow a foreground query, one per window as a
/// tick asks them, are answered from what that query read: the tick sees one
/// state of the desktop, for one read from the socket instead of one per
/// window. A window asked about a second time ends that, and is answered from
/// a fresh read. Titles and process names are read from the server
/// when asked. A window that vanishes in the middle of a question is an empty
/// answer; a broken connection ends the program through connectionLost().
class X11WindowSystem final : public WindowSystem {
public:
    /// Connects to the X server of the display (as in $DISPLAY). Throws
    /// PlatformError, naming the display, when that fails.
    explicit X11WindowSystem(const std::string& displayName);
    ~X11WindowSystem() override;

    X11WindowSystem(const X11WindowSystem&) = delete;
    X11WindowSystem& operator=(const X11WindowSystem&) = delete;

    WindowHandle foregroundWindow() override;
    bool isWindow(WindowHandle handle) override;
    std::string getWindowTitle(WindowHandle handle) override;
    std::string getProcessName(WindowHandle handle) override;

    /// How many windows the bookkeeping holds: the windows asked about that
    /// still exist, plus a destroyed window that is still named active.
    std::size_t watchedWindowCount() const { return m_windows.size(); }

private:
    enum class WindowState {
        Alive,
        /// Destroyed while active, not yet answered by isWindow.
        Destroyed,
        /// Destroyed, and isWindow has said so: kept only while it is named
        /// as the active window.
        DestroyedReported,
    };

    struct Atoms {
        std::uint32_t netActiveWindow = 0;
        std::uint32_t netSupportingWmCheck = 0;
        std::uint32_t netWmName = 0;
        std::uint32_t netWmPid = 0;
        std::uint32_t utf8String = 0;
    };

    struct Watched {
        WindowState state = WindowState::Alive;
        /// The foreground query after which isWindow last asked about it.
        std::uint64_t askedAfterQuery = 0;
    };

    /// Whether pollEvents reads the socket, or only takes the events already read.
    enum class Reading { Connection, Queued };

    void internAtoms();
    void findResourceExtension();
    void pollEvents(Reading reading = Reading::Connection);
    void readWindowManager();
    void readActiveWindow();
    void noteDestroyed(std::uint32_t window);
    void checkConnection();
    std::string decodeTitle(std::string_view bytes, std::uint32_t type);

    xcb_connection_t* m_connection = nullptr;
    std::uint32_t m_root = 0;
    Atoms m_atoms;
    /// The X-Resource extension can name the process of a local client, and
    /// the server runs on this machine (it names our own process right).
    bool m_clientPids = false;
    /// The EWMH check window of the running window manager; 0 when none runs.
    std::uint32_t m_wmCheck = 0;
    /// The value of _NET_ACTIVE_WINDOW; 0 when unset or None.
    std::uint32_t m_active = 0;
    std::unordered_map<std::uint32_t, Watched> m_windows;
    /// Counts the foreground queries.
    std::uint64_t m_foregroundQueries = 0;
    /// Whether existence questions may still be answered from the events read
    /// by the last foreground query.
    bool m_sameTick = false;
    XlibTextDecoder m_decoder;
};

} // namespace dwellmark::platform::x11
