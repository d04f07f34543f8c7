// A virtual KWin of the test's own, with the desktop files that let the test's programs see its windows.
#pragma once

#include "childprocess.h"
#include "compositorsession.h"
#include "compositortest.h"
#include "privatebus.h"
#include "scratchfolder.h"

#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace dwellmark::testing {

/// Starts a private session bus and kwin_wayland on its virtual backend in
/// private runtime, home, data and config folders, and stops them and removes
/// the folders when it goes. The test process joins the bus for as long as
/// the session lives. KWin offers its window-management protocol only to
/// programs whose desktop file asks for it: one is written for each program
/// named, and found through an applications menu of the session's own; with
/// none named, no program is offered it. Debian's binary carries
/// a file capability that some sandboxes refuse, so a plain copy of it is run.
class KwinSession final : public CompositorSession {
public:
    /// Waits until KWin's scripting answers on the bus and, when programs are
    /// named, KWin offers them the protocol; a failed start fails the test
    /// that made it (check ready()).
    explicit KwinSession(const std::vector<std::string>& trustedPrograms);
    ~KwinSession() override;

    std::string log() const override;
    std::vector<std::string> clientEnvironment() const override;

    /// Has a one-shot KWin script activate the window whose resource class
    /// (the app id of a Wayland window) is that; whether the script ran.
    bool activate(const std::string& resourceClass);
    /// Has KWin load the script file under that name, as any program may;
    /// the number KWin gives it (nothing when it refuses).
    std::optional<std::string> loadScript(const std::string& file, const std::string& pluginName) const;
    /// Has KWin run the script of that number; whether it answered that it ran.
    bool runScript(const std::string& id) const;
    /// Has KWin unload the script of that name; whether it had one.
    bool unloadScript(const std::string& pluginName) const;
    /// The folder of the session's own files (scripts and the like).
    std::string folder() const { return m_folder.path(); }
    /// Whether KWin has a script of that name loaded (false when it cannot be asked).
    bool scriptLoaded(const std::string& pluginName) const;

private:
    ScratchFolder m_folder{"dwellmark-kwin"};
    int m_scripts = 0;
    std::unique_ptr<PrivateBus> m_bus;
    std::unique_ptr<ScopedEnvironment> m_joined;
};

} // namespace dwellmark::testing
