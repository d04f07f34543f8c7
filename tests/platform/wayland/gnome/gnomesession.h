// A headless GNOME Shell of the test's own, on private buses, with or without Dwellmark's extension.
#pragma once

#include "childprocess.h"
#include "compositorsession.h"
#include "compositortest.h"
#include "privatebus.h"
#include "scratchfolder.h"

#include <memory>
#include <string>
#include <vector>

namespace dwellmark::testing {

/// Starts private session and system buses (the shell asks logind on the
/// system bus) and gnome-shell headless on a virtual monitor, in private
/// runtime, home, data and config folders. Dwellmark's extension is installed
/// there as its package installs it, in the variant the shell loads (42 or
/// 45), when asked, and enabled when asked; beside it is always the tests' own
/// focus helper (tests/platform/wayland/gnome), in the same variant, which
/// nothing installs. The test process joins the session bus for as long as the
/// session lives. Everything is stopped and removed when it goes.
class GnomeSession final : public CompositorSession {
public:
    /// Dwellmark's extension as the shell finds it at its start.
    enum class Extension {
        Absent,
        /// Installed before the session, not enabled: the shell knows it.
        Disabled,
        Enabled,
    };

    /// Waits for the shell's Wayland socket and bus name (and the extension's,
    /// when it is enabled); a failed start fails the test that made it (check ready()).
    explicit GnomeSession(Extension extension);
    ~GnomeSession() override;

    /// The variant of the extensions chosen for this shell, and what the shell
    /// wrote to standard error.
    std::string log() const override;
    std::vector<std::string> clientEnvironment() const override;

    /// Asks the focus helper to focus a window of the process; whether it had one.
    bool activate(int pid) const;

private:
    ScratchFolder m_folder{"dwellmark-gnome"};
    std::string m_variant;
    std::unique_ptr<PrivateBus> m_sessionBus;
    std::unique_ptr<PrivateBus> m_systemBus;
    std::unique_ptr<ScopedEnvironment> m_joined;
};

} // namespace dwellmark::testing
