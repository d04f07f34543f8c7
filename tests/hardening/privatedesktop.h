#pragma once

#include "childprocess.h"
#include "xvfbserver.h"

#include <memory>
#include <string>

namespace dwellmark::testing {

/// A desktop of a test's own: a private X server with the openbox window
/// manager, both stopped when the object goes. Unlike with-display, the test
/// holds the server and can kill it under the programs that use it.
class PrivateDesktop final {
public:
    /// Starts both and waits until the window manager has announced itself.
    PrivateDesktop();
    ~PrivateDesktop();

    PrivateDesktop(const PrivateDesktop&) = delete;
    PrivateDesktop& operator=(const PrivateDesktop&) = delete;

    const std::string& display() const { return m_server.display(); }

    /// Kills the X server at once, as a crash would.
    void killServer() { m_server.kill(); }

private:
    XvfbServer m_server;
    std::unique_ptr<ChildProcess> m_windowManager;
};

} // namespace dwellmark::testing
