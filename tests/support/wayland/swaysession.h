// A headless sway of the test's own, run as an unprivileged user when the test runs as root.
#pragma once

#include "childprocess.h"
#include "scratchfolder.h"

#include <memory>
#include <string>
#include <vector>

namespace dwellmark::testing {

/// Starts sway on the headless wlroots backend (software rendering, no input
/// devices, no Xwayland) in a private runtime folder, and stops it and removes
/// the folder when it goes. sway refuses to run as root: a test run as root
/// starts it as nobody, whose folder root can still reach.
class SwaySession final {
public:
    /// Waits for sway's Wayland and IPC sockets; a failed start fails the
    /// test that made it (check ready()).
    SwaySession();
    ~SwaySession();

    SwaySession(const SwaySession&) = delete;
    SwaySession& operator=(const SwaySession&) = delete;

    bool ready() const { return !m_waylandSocket.empty() && !m_ipcSocket.empty(); }
    /// What sway wrote to standard error, for failure messages.
    std::string log() const;

    /// The absolute path of the Wayland socket: a WAYLAND_DISPLAY that works from any runtime folder.
    const std::string& waylandSocket() const { return m_waylandSocket; }
    /// sway's IPC socket, as SWAYSOCK.
    const std::string& ipcSocket() const { return m_ipcSocket; }
    /// The environment entries for a client of this session.
    std::vector<std::string> clientEnvironment() const;

    /// Runs swaymsg with the command; whether sway accepted it.
    bool command(const std::string& command) const;

    /// Kills sway at once, as a crash would.
    void kill();

private:
    ScratchFolder m_folder{"dwellmark-sway"};
    std::string m_waylandSocket;
    std::string m_ipcSocket;
    std::unique_ptr<ChildProcess> m_sway;
};

} // namespace dwellmark::testing
