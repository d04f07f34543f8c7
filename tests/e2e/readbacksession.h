// The real program on a private X server and private buses, driven by the test and read back over AT-SPI.
#pragma once

#include "accessibilitybus.h"
#include "atspireader.h"
#include "childprocess.h"
#include "privatedisplay.h"
#include "testdesktop.h"

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
    ChildProcess& program() { return m_program; }

    /// Brings the window to the foreground, asking again until the window
    /// manager has done it (a request made before it has taken the window on
    /// is lost).
    bool activate(std::uint32_t window);

    /// Reads the usage log and the totals as the program shows them now, kept
    /// in shown(); false while they cannot be read.
    bool read();
    const AccessibleApplication& shown() const { return m_shown; }
    /// The rows of the usage log as last read.
    const std::vector<std::vector<std::string>>& logRows() const;
    /// The tables as last read, a row a line, for a failure message.
    std::string describe() const;

private:
    PrivateDisplay m_display;
    AccessibilityBus m_bus;
    ChildProcess m_program;
    TestDesktop m_user;
    AtspiReader m_reader;
    std::uint32_t m_mainWindow = 0;
    AccessibleApplication m_shown;
};

} // namespace dwellmark::testing
