// The real program on a private X server and private buses, driven by the test and read back over AT-SPI.
#pragma once

#include "accessibilitybus.h"
#include "atspireader.h"
#include "childprocess.h"
#include "privatedisplay.h"
#include "testdesktop.h"

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace dwellmark::testing {

/// The program itself in an X11 session of its own: a private X server with
/// openbox, a private accessibility bus, and the test's own connection to the
/// desktop, through which it brings windows to the foreground and reads the
/// program's tables as a screen reader does. Everything stops when it goes.
class ReadBackSession final {
public:
    /// Starts the program with these environment entries on top of the
    /// session's ("NAME=VALUE" sets, "-NAME" removes).
    explicit ReadBackSession(const std::string& program, const std::vector<std::string>& environment = {});

    ReadBackSession(const ReadBackSession&) = delete;
    ReadBackSession& operator=(const ReadBackSession&) = delete;

    /// Waits for the window "Dwellmark"; empty when it came, else what went wrong.
    std::string waitForMainWindow();
    std::uint32_t mainWindow() const { return m_mainWindow; }

    TestDesktop& user() { return m_user; }
    /// The session bus the program is on, as DBUS_SESSION_BUS_ADDRESS names it.
    std::string sessionBusAddress() const { return m_bus.clientEnvironment().front().substr(25); }
    ChildProcess& program() { return m_program; }

    /// Brings the window to the foreground, asking again until the window
    /// manager has done it (a request made before it has taken the window on
    /// is lost).
    bool activate(std::uint32_t window);

    /// Reads the usage log and the totals as the program shows them now, kept
    /// in shown(); false while they cannot be read.
    bool read();
    const AccessibleApplication& shown() const { return m_shown; }
    /// Waits until the usage log holds more than before rows, the last one
    /// titled lastTitle; false when it does not within the limit.
    bool logGrows(std::size_t before, const std::string& lastTitle, std::chrono::seconds limit);

    /// Brings first and then second to the foreground, again until first's
    /// stretch is logged (the program samples the foreground, so first may pass
    /// unseen): second's stretch has surely opened then. Returns when second
    /// was last asked for, or nothing when it never came to that.
    std::optional<std::chrono::steady_clock::time_point> openStretchOf(std::uint32_t first, std::uint32_t second,
                                                                       const std::string& firstTitle);

    /// Where a test that times a stretch starts: the main window, then two new
    /// windows "Alpha" and "Omega" brought to the foreground in turn until
    /// Alpha's stretch is logged. Omega's has surely opened then: it was asked
    /// for at omegaAsked and seen by omegaSeen, with rowsBefore rows logged.
    struct OmegaInFront {
        std::uint32_t main = 0;
        std::uint32_t alpha = 0;
        std::uint32_t omega = 0;
        std::chrono::steady_clock::time_point omegaAsked;
        std::chrono::steady_clock::time_point omegaSeen;
        std::size_t rowsBefore = 0;
    };
    /// Nothing when the program never got there (describe() says why).
    std::optional<OmegaInFront> putOmegaInFront();

    /// The rows of the usage log as last read.
    const std::vector<std::vector<std::string>>& logRows() const;
    /// For a failure message: whether the program still runs, what it wrote
    /// to standard error, and the tables as last read, a row a line.
    std::string describe();

private:
    PrivateDisplay m_display;
    AccessibilityBus m_bus;
    ChildProcess m_program;
    TestDesktop m_user;
    AtspiReader m_reader;
    std::uint32_t m_mainWindow = 0;
    AccessibleApplication m_shown;
};

/// The seconds from one moment to a later one.
inline double secondsBetween(std::chrono::steady_clock::time_point from, std::chrono::steady_clock::time_point to) {
    return std::chrono::duration<double>(to - from).count();
}

} // namespace dwellmark::testing
