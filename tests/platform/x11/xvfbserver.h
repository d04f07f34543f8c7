#pragma once

#include <string>
#include <sys/types.h>
#include <vector>

namespace dwellmark::testing {

/// A private X server (Xvfb) on a free display number, without a window
/// manager, for tests that set up the desktop themselves or kill the server.
class XvfbServer final {
public:
    explicit XvfbServer(const std::vector<std::string>& extraArguments = {});
    ~XvfbServer();

    XvfbServer(const XvfbServer&) = delete;
    XvfbServer& operator=(const XvfbServer&) = delete;

    /// The display name, ":N".
    const std::string& display() const { return m_display; }

    /// Kills the server at once, as a crash would.
    void kill();

private:
    pid_t m_pid = -1;
    std::string m_display;
};

} // namespace dwellmark::testing
