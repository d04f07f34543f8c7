// What every compositor of a test's own offers the test: whether it came up, its socket, its clients' environment.
#pragma once

#include "childprocess.h"

#include <csignal>
#include <memory>
#include <string>
#include <vector>

namespace dwellmark::testing {

/// A compositor that a test starts for itself (headless GNOME Shell, virtual
/// KWin, headless wlroots compositor) and that ends with the object.
class CompositorSession {
public:
    virtual ~CompositorSession() = default;

    CompositorSession(const CompositorSession&) = delete;
    CompositorSession& operator=(const CompositorSession&) = delete;

    /// Whether it came up; a failed start fails the test that made it.
    bool ready() const { return m_ready; }
    /// What it wrote to standard error (and what else explains a failure), for failure messages.
    virtual std::string log() const = 0;

    /// The absolute path of the Wayland socket: a WAYLAND_DISPLAY that works from any runtime folder.
    const std::string& waylandSocket() const { return m_waylandSocket; }
    /// The environment entries for a client of this session.
    virtual std::vector<std::string> clientEnvironment() const = 0;

    /// Kills the compositor at once, as a crash would.
    void kill() {
        if (m_compositor) {
            ::kill(m_compositor->pid(), SIGKILL);
            m_compositor->waitForExit(std::chrono::seconds(30));
        }
    }

protected:
    CompositorSession() = default;

    bool m_ready = false;
    std::string m_waylandSocket;
    /// The compositor's process; a session ends it first when it goes.
    std::unique_ptr<ChildProcess> m_compositor;
};

} // namespace dwellmark::testing
