// A private X server for a test, with a window manager unless told otherwise.
#include "privatedisplay.h"

#include "scopedenvironment.h"
#include "testdesktop.h"

#include <chrono>
#include <csignal>
#include <fcntl.h>
#include <poll.h>
#include <stdexcept>
#include <sys/wait.h>
#include <unistd.h>

namespace dwellmark::testing {

namespace {

// Limits that only catch a hang: a loaded machine takes its time to start a server.
constexpr int startLimitMs = 120'000;

} // namespace

PrivateDisplay::PrivateDisplay(WindowManager windowManager, const std::vector<std::string>& extraArguments) {
    int ready[2];
    if (pipe(ready) != 0) {
        throw std::runtime_error("pipe failed");
    }
    std::vector<std::string> arguments{
        "Xvfb", "-displayfd", std::to_string(ready[1]), "-screen", "0", "1280x1024x24", "-nolisten", "tcp", "-noreset"};
    arguments.insert(arguments.end(), extraArguments.begin(), extraArguments.end());
    std::vector<char*> argv;
    for (auto& argument : arguments) {
        argv.push_back(argument.data());
    }
    argv.push_back(nullptr);

    m_server = fork();
    if (m_server < 0) {
        throw std::runtime_error("fork failed");
    }
    if (m_server == 0) {
        close(ready[0]);
        const int quiet = open("/dev/null", O_WRONLY);
        dup2(quiet, STDOUT_FILENO);
        dup2(quiet, STDERR_FILENO);
        execvp("Xvfb", argv.data());
        _exit(127);
    }
    close(ready[1]);
    // Xvfb writes its display number once it accepts connections.
    std::string number;
    pollfd readable{ready[0], POLLIN, 0};
    char c = 0;
    while (poll(&readable, 1, startLimitMs) > 0 && read(ready[0], &c, 1) == 1 && c != '\n') {
        number.push_back(c);
    }
    close(ready[0]);
    if (number.empty()) {
        killServer();
        throw std::runtime_error("Xvfb did not start");
    }
    m_display = ":" + number;

    if (windowManager == WindowManager::Openbox) {
        std::vector<std::string> environment = sessionEnvironment(m_display);
        environment.push_back("XDG_CACHE_HOME=" + m_windowManagerCache.path());
        m_windowManager =
            std::make_unique<ChildProcess>(std::vector<std::string>{"/usr/bin/openbox", "--sm-disable"}, environment);
        if (!windowManagerTakesWindows()) {
            m_windowManager.reset();
            killServer();
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
    if (m_server > 0) {
        ::kill(m_server, SIGKILL);
        int status = 0;
        waitpid(m_server, &status, 0);
        m_server = -1;
    }
}

} // namespace dwellmark::testing
