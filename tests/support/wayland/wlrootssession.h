// A headless wlroots compositor of the test's own (sway, labwc or Wayfire), run as an unprivileged user when the test
// runs as root.
#pragma once

#include "childprocess.h"
#include "compositorsession.h"
#include "scratchfolder.h"

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
class WlrootsSession final : public CompositorSession {
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
    ~WlrootsSession() override;

    std::string log() const override;
    std::vector<std::string> clientEnvironment() const override;
    /// sway's IPC socket, as SWAYSOCK (empty for the others).
    const std::string& ipcSocket() const { return m_ipcSocket; }

    /// Runs swaymsg with the command; whether sway accepted it (false for the others).
    bool command(const std::string& command) const;
    /// Asks the compositor to focus the window with the app id; whether it has one.
    bool activate(const std::string& appId) const;

private:
    Compositor m_kind;
    ScratchFolder m_folder;
    std::string m_ipcSocket;
};

} // namespace dwellmark::testing
