// A headless wlroots compositor of the test's own (sway, labwc or Wayfire), run as an unprivileged user when the test
// runs as root.
#include "wlrootssession.h"

#include <array>
#include <filesystem>
#include <fstream>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace dwellmark::testing {

namespace fs = std::filesystem;

namespace {

// nobody and nogroup on Debian.
constexpr uid_t unprivileged = 65534;

std::string program(WlrootsSession::Compositor compositor) {
    return "/usr/bin/" + WlrootsSession::name(compositor);
}

bool succeeded(const std::optional<int>& status) {
    return status && WIFEXITED(*status) && WEXITSTATUS(*status) == 0;
}

} // namespace

std::string WlrootsSession::name(Compositor compositor) {
    constexpr std::array<const char*, 3> names{"sway", "labwc", "wayfire"};
    return names.at(static_cast<std::size_t>(compositor));
}

std::optional<std::string> WlrootsSession::unavailable(Compositor compositor) {
    if (access(program(compositor).c_str(), X_OK) != 0) {
        return name(compositor) + " is not installed (" + program(compositor) + ")";
    }
    if (compositor == Compositor::Wayfire) {
        // Wayfire renders with OpenGL ES on a DRM device, even headless.
        std::error_code error;
        for (const auto& entry : fs::directory_iterator("/dev/dri", error)) {
            if (entry.path().filename().string().starts_with("renderD")) {
                return std::nullopt;
            }
        }
        return std::string("wayfire renders only through a GPU, and this machine has no DRM render node "
                           "(/dev/dri/renderD*)");
    }
    return std::nullopt;
}

WlrootsSession::WlrootsSession(Compositor compositor) : m_kind(compositor), m_folder("dwellmark-" + name(compositor)) {
    if (!m_folder.made()) {
        return;
    }
    const std::string folder = m_folder.path();
    const bool root = geteuid() == 0;
    std::vector<std::string> arguments;
    if (root) {
        arguments = {"/usr/bin/setpriv", "--reuid=65534", "--regid=65534", "--clear-groups"};
    }
    arguments.push_back(program(compositor));
    // Each reads only the configuration it is given: no user's, no autostart.
    switch (compositor) {
    case Compositor::Sway:
        std::ofstream(folder + "/config") << "xwayland disable\n"
                                          << "output HEADLESS-1 resolution 1024x768\n";
        arguments.insert(arguments.end(), {"-c", folder + "/config"});
        break;
    case Compositor::Labwc:
        // An empty configuration folder: labwc's defaults.
        m_folder.makeFolder("labwc");
        arguments.insert(arguments.end(), {"-C", folder + "/labwc"});
        break;
    case Compositor::Wayfire:
        std::ofstream(folder + "/wayfire.ini") << "[core]\nplugins = foreign-toplevel\nxwayland = false\n";
        arguments.insert(arguments.end(), {"-c", folder + "/wayfire.ini"});
        break;
    }
    if (root && chown(folder.c_str(), unprivileged, unprivileged) != 0) {
        return;
    }
    chmod(folder.c_str(), 0700);

    m_compositor = std::make_unique<ChildProcess>(
        arguments, std::vector<std::string>{"XDG_RUNTIME_DIR=" + folder, "HOME=" + folder, "WLR_BACKENDS=headless",
                                            "WLR_LIBINPUT_NO_DEVICES=1", "WLR_RENDERER=pixman", "-WAYLAND_DISPLAY",
                                            "-DISPLAY", "-SWAYSOCK", "-XDG_CONFIG_HOME", "-XDG_CACHE_HOME",
                                            "-XDG_DATA_HOME", "-XDG_SESSION_TYPE", "-XDG_CURRENT_DESKTOP"});

    // Ready once its protocol is offered and, for sway, its IPC answers: sway
    // makes its IPC socket once the outputs and the config are set up, after
    // the Wayland socket.
    m_ready = m_compositor->reaches(
        [&] {
            std::error_code error;
            for (const auto& entry : fs::directory_iterator(folder, error)) {
                const std::string name = entry.path().filename();
                if (name.starts_with("wayland-") && !name.ends_with(".lock")) {
                    m_waylandSocket = entry.path();
                } else if (name.starts_with("sway-ipc.") && name.ends_with(".sock")) {
                    m_ipcSocket = entry.path();
                }
            }
            if (m_waylandSocket.empty() || (compositor == Compositor::Sway && m_ipcSocket.empty())) {
                return false;
            }
            ChildProcess offered({WAYLAND_TEST_ACTIVATE}, {"WAYLAND_DISPLAY=" + m_waylandSocket});
            return succeeded(offered.waitForExit(std::chrono::seconds(30))) &&
                   (compositor != Compositor::Sway || command("nop"));
        },
        std::chrono::seconds(60));
}

WlrootsSession::~WlrootsSession() {
    m_compositor.reset();
}

std::string WlrootsSession::log() const {
    return m_compositor ? m_compositor->errorOutput() : name(m_kind) + " was not started";
}

std::vector<std::string> WlrootsSession::clientEnvironment() const {
    return {"WAYLAND_DISPLAY=" + m_waylandSocket, m_ipcSocket.empty() ? "-SWAYSOCK" : "SWAYSOCK=" + m_ipcSocket,
            "-DISPLAY"};
}

bool WlrootsSession::command(const std::string& command) const {
    if (m_ipcSocket.empty()) {
        return false;
    }
    ChildProcess swaymsg({"/usr/bin/swaymsg", "-s", m_ipcSocket, command}, {});
    return succeeded(swaymsg.waitForExit(std::chrono::seconds(30)));
}

bool WlrootsSession::activate(const std::string& appId) const {
    ChildProcess activate({WAYLAND_TEST_ACTIVATE, appId}, {"WAYLAND_DISPLAY=" + m_waylandSocket});
    return succeeded(activate.waitForExit(std::chrono::seconds(30)));
}

} // namespace dwellmark::testing
