#pragma once

#include "platform/x11/xlibtextdecoder.h"
#include "tracking/changefeed.h"
#include "tracking/windowsystem.h"

#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

struct xcb_connection_t;

namespace dwellmark::platform::x11 {

/// The windows of an X11 desktop, as an EWMH window manager describes them.
///
/// The foreground window and whether a window exists are asked on every tick,
/// so they are answered from events (changes of the root window's
/// _NET_ACTIVE_WINDOW, destruction of the windows asked about): beginTick()
/// reads the connection once, without blocking, and every question of that
/// tick is answered from what it read. A tick without a change costs no round
/// trip to the X server. Titles, process names and the first question about a
/// window are read from the server when asked; events that arrive while such
/// a reply is awaited are kept for the next tick, and hasQueuedChanges() says
/// so, since the connection's descriptor will not become readable for them.
/// A window that vanishes in the middle of a question is an empty answer; a
/// broken connection ends the program through connectionLost().
/// A window manager that neither offers nor writes _NET_ACTIVE_WINDOW (such
/// as weston's for Xwayland) leaves the X input focus as the only word on the
/// foreground: it is read at every tick, and its program's window is the
/// foreground window.
class X11WindowSystem final : public WindowSystem, public ChangeFeed {
public:
    /// Connects to the X server of the display (as in $DISPLAY). Throws
    /// PlatformError, naming the display, when that fails.
    explicit X11WindowSystem(const std::string& displayName);
    ~X11WindowSystem() override;

    X11WindowSystem(const X11WindowSystem&) = delete;
    X11WindowSystem& operator=(const X11WindowSystem&) = delete;

    /// The version grows with each event of interest, and at every tick that
    /// looks at the input focus, which no event announces.
    std::uint64_t beginTick() override;
    /// The connection's descriptor; -1 when the window manager does not keep
    /// _NET_ACTIVE_WINDOW, so that its events say nothing of the foreground.
    int changeDescriptor() const override;
    /// Events come over the connection, which loses none.
    std::chrono::milliseconds safetyTickInterval() const override { return connectionSafetyInterval; }
    /// Reads the events that have come, and tells whether any of them is
    /// about the foreground, a watched window or the window manager.
    bool readChanges() override;
    bool hasQueuedChanges() override { return m_pending.any(); }

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
        std::uint32_t netSupported = 0;
        std::uint32_t utf8String = 0;
        std::uint32_t wmState = 0;
    };

    /// What the events read so far say, until the next tick applies it.
    struct Pending {
        bool activeWindow = false;
        bool windowManager = false;
        /// Destroyed windows, in the order of their events.
        std::vector<std::uint32_t> destroyed;

        bool any() const { return activeWindow || windowManager || !destroyed.empty(); }
    };

    /// Whether takeEvents may read the socket, or only takes the events already read.
    enum class Reading { Connection, Queued };

    /// The sequence numbers of the two reads of a title.
    struct TitleRequests {
        unsigned int net = 0;
        unsigned int old = 0;
    };
    /// Requests sent with a new window's process name for the questions that
    /// follow it, so that their replies come in the same round trip.
    struct AskedAhead {
        std::uint32_t window = 0;
        bool title = false;
        TitleRequests titles;
        bool existence = false;
        unsigned int attributes = 0;
    };

    void internAtoms();
    /// The requests of a question (their sequence numbers), asked now or
    /// taken from those asked ahead.
    unsigned int askExistence(std::uint32_t window);
    TitleRequests askTitle(std::uint32_t window);
    void askAhead(std::uint32_t window);
    void dropAskedAhead();
    void findResourceExtension();
    void takeEvents(Reading reading);
    void apply(const Pending& pending);
    void readWindowManager();
    /// Whether the foreground is the X input focus: the window manager
    /// neither offers _NET_ACTIVE_WINDOW nor writes it (weston's, for one).
    bool followsInputFocus() const;
    /// Reads the input focus, and makes its program's window the active one.
    void readInputFocus();
    /// Makes the window (0 for none) the active one.
    void changeActive(std::uint32_t active);
    /// Whether the window manager names the hint in _NET_SUPPORTED.
    bool supportsHint(std::uint32_t hint);
    void readActiveWindow();
    /// Whether the last read of _NET_ACTIVE_WINDOW came after an event of
    /// that sequence number, and so saw what the event tells of.
    bool readAfter(std::uint16_t eventSequence) const;
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
    /// Whether the running window manager names _NET_ACTIVE_WINDOW among
    /// the hints it keeps.
    bool m_activeWindowKept = true;
    /// Whether the root window has _NET_ACTIVE_WINDOW at all.
    bool m_activeWindowSet = false;
    /// The request of the last read of _NET_ACTIVE_WINDOW, once there was one.
    unsigned int m_activeReadRequest = 0;
    bool m_activeReadDone = false;
    /// The window that held the X input focus at the last look (0 for none).
    static constexpr std::uint32_t notLooked = 0xFFFFFFFFU;
    std::uint32_t m_focus = notLooked;
    std::unordered_map<std::uint32_t, WindowState> m_windows;
    Pending m_pending;
    AskedAhead m_askedAhead;
    std::uint64_t m_answersVersion = 1;
    XlibTextDecoder m_decoder;
};

} // namespace dwellmark::platform::x11
