// A headless sway of the test's own, run as an unprivileged user when the test runs as root.
#include "swaysession.h"

#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace dwellmark::testing {

namespace {

// nobody and nogroup on Debian.
constexpr uid_t unprivileged = 65534;

} // namespace

SwaySession::SwaySession() {
    if (!m_folder.made()) {
        return;
    }
    const std::string folder = m_folder.path();
    const bool root = geteuid() == 0;
    {
        std::ofstream config(folder + "/config");
        config << "xwayland disable\n"
               << "output HEADLESS-1 resolution 1024x768\n";
    }
    if (root && chown(folder.c_str(), unprivileged, unprivileged) != 0) {
        return;
    }
    chmod(folder.c_str(), 0700);

    std::vector<std::string> arguments;
    if (root) {
        arguments = {"/usr/bin/setpriv", "--reuid=65534", "--regid=65534", "--clear-groups", "/usr/bin/sway"};
    } else {
        arguments = {"/usr/bin/sway"};
    }
    arguments.insert(arguments.end(), {"-c", folder + "/config"});
    m_sway = std::make_unique<ChildProcess>(
        arguments, std::vector<std::string>{"XDG_RUNTIME_DIR=" + folder, "HOME=" + folder, "WLR_BACKENDS=headless",
                                            "WLR_LIBINPUT_NO_DEVICES=1", "WLR_RENDERER=pixman", "-WAYLAND_DISPLAY",
                                            "-DISPLAY", "-SWAYSOCK", "-XDG_CONFIG_HOME", "-XDG_CACHE_HOME",
                                            "-XDG_DATA_HOME", "-XDG_SESSION_TYPE"});

    // sway makes its IPC socket once the outputs and the config are set up,
    // after the Wayland socket.
    eventually(
        [&] {
            if (m_sway->waitForExit(std::chrono::milliseconds(0))) {
                return true;
            }
            std::error_code error;
            for (const auto& entry : std::filesystem::directory_iterator(folder, error)) {
                const std::string name = entry.path().filename();
                if (name.starts_with("wayland-") && !name.ends_with(".lock")) {
                    m_waylandSocket = entry.path();
                } else if (name.starts_with("sway-ipc.") && name.ends_with(".sock")) {
                    m_ipcSocket = entry.path();
                }
            }
            return ready() && command("nop");
        },
        std::chrono::seconds(60));
}

SwaySession::~SwaySession() {
    m_sway.reset();
}

std::string SwaySession::log() const {
    return m_sway ? m_sway->errorOutput() : std::string("sway was not started");
}

std::vector<std::string> SwaySession::clientEnvironment() const {
    return {"WAYLAND_DISPLAY=" + m_waylandSocket, "SWAYSOCK=" + m_ipcSocket, "-DISPLAY"};
}

bool SwaySession::command(const std::string& command) const {
    ChildProcess swaymsg({"/usr/bin/swaymsg", "-s", m_ipcSocket, command}, {});
    const auto status = swaymsg.waitForExit(std::chrono::seconds(30));
    return status && WIFEXITED(*status) && WEXITSTATUS(*status) == 0;
}

void SwaySession::kill() {
    if (m_sway) {
        ::kill(m_sway->pid(), SIGKILL);
        m_sway->waitForExit(std::chrono::seconds(30));
    }
}

} // namespace dwellmark::testing
