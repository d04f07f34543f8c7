// A private X server for a test, with a window manager unless told otherwise.
#pragma once

#include "childprocess.h"
#include "scratchfolder.h"

#include <memory>
#include <string>
#include <vector>

namespace dwellmark::testing {

/// A private X server (Xvfb) on a free display number, with the openbox
/// window manager unless told otherwise; both are stopped when the object
/// goes. Unlike tests/support/with-display, the test holds the server and can
/// kill it under the programs that use it.
class PrivateDisplay final {
public:
    enum class WindowManager { Openbox, None };

    /// Starts the server, and the window manager, and waits until the window
    /// manager has announced itself. Throws std::runtime_error on failure.
    explicit PrivateDisplay(WindowManager windowManager = WindowManager::Openbox,
                            const std::vector<std::string>& extraArguments = {});
    ~PrivateDisplay();

    PrivateDisplay(const PrivateDisplay&) = delete;
    PrivateDisplay& operator=(const PrivateDisplay&) = delete;

    /// The display name, ":N".
    const std::string& display() const { return m_display; }

    /// A session bus address that no bus can have, so that nothing starts one.
    static constexpr const char* noSessionBus = "unix:path=/dev/null/no-session-bus";

    /// The environment entries ("NAME=VALUE" set, "-NAME" removed) of a
    /// program in an X11 session on display: with no Wayland display left
    /// over from the test's own session, through which the program would
    /// reach the user's compositor, and no session bus (noSessionBus) unless
    /// the caller gives one after these.
    static std::vector<std::string> sessionEnvironment(const std::string& display);

    /// Makes this the display of the process and of the programs it starts,
    /// as an X11 session would (sessionEnvironment).
    void useForThisProcess() const;

    /// Kills the X server at once, as a crash would.
    void killServer();

private:
    /// Whether openbox has come to take windows on, within the start limit.
    bool windowManagerTakesWindows() const;

    std::unique_ptr<ChildProcess> m_server;
    std::string m_display;
    /// Where the window manager writes its log, instead of the home folder.
    ScratchFolder m_windowManagerCache{"dwellmark-openbox"};
    std::unique_ptr<ChildProcess> m_windowManager;
};

} // namespace dwellmark::testing
