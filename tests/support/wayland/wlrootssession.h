// A headless wlroots compositor of the test's own (sway, labwc or Wayfire), run as an unprivileged user when the test
// runs as root.
#pragma once

#include "childprocess.h"
#include "scratchfolder.h"

#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace dwellmark::testing {

/// Starts a wlroots compositor on the headless backend (software rendering,
/// no input devices, no Xwayland) in a private runtime folder, and stops it
/// and removes the folder when it goes. sway refuses to run as root: a test
/// run as root starts each of them as nobody, whose folder root can still
/// reach. Only sway has an IPC of its own; every one is asked to focus a
/// window through the foreign-toplevel protocol, as a task bar does.
class WlrootsSession final {
public:
    enum class Compositor { Sway, Labwc, Wayfire };

    /// Why the compositor cannot run here (not installed, or no GPU for
    /// Wayfire, which renders only through one), or nothing when it can.
    static std::optional<std::string> unavailable(Compositor compositor);
    /// Its program's name, for test names and messages.
    static std::string name(Compositor compositor);

    /// Waits for the compositor's Wayland socket, its foreign-toplevel
    /// protocol and, for sway, its IPC socket; a failed start fails the test
    /// that made it (check ready()).
    explicit WlrootsSession(Compositor compositor = Compositor::Sway);
    ~WlrootsSession();

    WlrootsSession(const WlrootsSession&) = delete;
    WlrootsSession& operator=(const WlrootsSession&) = delete;

    bool ready() const { return m_ready; }
    /// What the compositor wrote to standard error, for failure messages.
    std::string log() const;

    /// The absolute path of the Wayland socket: a WAYLAND_DISPLAY that works from any runtime folder.
    const std::string& waylandSocket() const { return m_waylandSocket; }
    /// sway's IPC socket, as SWAYSOCK (empty for the others).
    const std::string& ipcSocket() const { return m_ipcSocket; }
    /// The environment entries for a client of this session.
    std::vector<std::string> clientEnvironment() const;

    /// Runs swaymsg with the command; whether sway accepted it (false for the others).
    bool command(const std::string& command) const;
    /// Asks the compositor to focus the window with the app id; whether it has one.
    bool activate(const std::string& appId) const;

    /// Kills the compositor at once, as a crash would.
    void kill();

private:
    Compositor m_compositor;
    ScratchFolder m_folder;
    std::string m_waylandSocket;
    std::string m_ipcSocket;
    bool m_ready = false;
    std::unique_ptr<ChildProcess> m_process;
};

} // namespace dwellmark::testing
