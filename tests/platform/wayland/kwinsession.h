// A virtual KWin of the test's own, with the desktop files that let the test's programs see its windows.
#pragma once

#include "childprocess.h"

#include <memory>
#include <string>
#include <vector>

namespace dwellmark::testing {

/// Starts kwin_wayland on its virtual backend in private runtime, home, data
/// and config folders, and stops it and removes them when it goes. KWin offers
/// its window-management protocol only to programs whose desktop file asks
/// for it: one is written for each program named. Debian's binary carries a
/// file capability that some sandboxes refuse, so a plain copy of it is run.
class KwinSession final {
public:
    /// Waits until KWin offers the protocol; a failed start fails the test
    /// that made it (check ready()).
    explicit KwinSession(const std::vector<std::string>& trustedPrograms);
    ~KwinSession();

    KwinSession(const KwinSession&) = delete;
    KwinSession& operator=(const KwinSession&) = delete;

    bool ready() const { return m_ready; }
    /// What KWin wrote to standard error, for failure messages.
    std::string log() const;

    /// The absolute path of the Wayland socket: a WAYLAND_DISPLAY that works from any runtime folder.
    const std::string& waylandSocket() const { return m_waylandSocket; }
    /// The environment entries for a client of this session.
    std::vector<std::string> clientEnvironment() const;

    /// Kills KWin at once, as a crash would.
    void kill();

private:
    std::string m_folder;
    std::string m_waylandSocket;
    bool m_ready = false;
    std::unique_ptr<ChildProcess> m_kwin;
};

} // namespace dwellmark::testing
