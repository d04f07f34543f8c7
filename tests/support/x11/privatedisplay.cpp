// A private X server for a test, with a window manager unless told otherwise.
#include "privatedisplay.h"

#include "scopedenvironment.h"
#include "testdesktop.h"

#include <chrono>
#include <stdexcept>

namespace dwellmark::testing {

namespace {

// Limits that only catch a hang: a loaded machine takes its time to start a server.
constexpr int startLimitMs = 120'000;

} // namespace

PrivateDisplay::PrivateDisplay(WindowManager windowManager, const std::vector<std::string>& extraArguments) {
    // Xvfb writes its display number, once it accepts connections, to descriptor 3: the output read here. What
    // else it says goes nowhere.
    std::vector<std::string> arguments{
        "/bin/sh", "-c",
        "exec Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp -noreset \"$@\" 3>&1 >/dev/null 2>&1", "Xvfb"};
    arguments.insert(arguments.end(), extraArguments.begin(), extraArguments.end());
    m_server = std::make_unique<ChildProcess>(arguments);
    const auto number = m_server->readLine(std::chrono::milliseconds(startLimitMs));
    if (!number || number->empty()) {
        throw std::runtime_error("Xvfb did not start");
    }
    m_display = ":" + *number;

    if (windowManager == WindowManager::Openbox) {
        std::vector<std::string> environment = sessionEnvironment(m_display);
        environment.push_back("XDG_CACHE_HOME=" + m_windowManagerCache.path());
        m_windowManager =
            std::make_unique<ChildProcess>(std::vector<std::string>{"/usr/bin/openbox", "--sm-disable"}, environment);
        // Thrown, the members end openbox, then the server.
        if (!windowManagerTakesWindows()) {
            throw std::runtime_error("openbox did not start on " + m_display);
        }
    }
}

bool PrivateDisplay::windowManagerTakesWindows() const {
    // openbox names its check window before it is done starting, and a map
    // request that comes in that time is lost: the window would stay unmapped
    // for good. So a window of the test's own is mapped (the request sent
    // again now and then) until openbox frames it.
    TestDesktop desktop(m_display);
    const std::uint32_t probe = desktop.createWindow("window manager probe");
    unsigned polls = 0;
    const bool taken = eventually(
        [&] {
            if (!desktop.windowManagerRuns()) {
                return false;
            }
            if (polls++ % 50 == 0) {
                desktop.mapWindow(probe);
            }
            return desktop.framed(probe);
        },
        std::chrono::milliseconds(startLimitMs));
    desktop.destroyWindow(probe);
    return taken;
}

PrivateDisplay::~PrivateDisplay() {
    // The window manager goes first, so that it does not see its server die.
    m_windowManager.reset();
    killServer();
}

std::vector<std::string> PrivateDisplay::sessionEnvironment(const std::string& display) {
    // No session bus, said outright: without an address, libdbus (under Qt,
    // Wine) starts one for the display and notes it in the home folder.
    return {"DISPLAY=" + display, "XDG_SESSION_TYPE=x11", "-WAYLAND_DISPLAY", "-WAYLAND_SOCKET",
            "DBUS_SESSION_BUS_ADDRESS=" + std::string(noSessionBus)};
}

void PrivateDisplay::useForThisProcess() const {
    setEnvironment(sessionEnvironment(m_display));
}

void PrivateDisplay::killServer() {
    m_server.reset();
}

} // namespace dwellmark::testing
