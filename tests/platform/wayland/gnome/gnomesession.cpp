// A headless GNOME Shell of the test's own, on private buses, with or without Dwellmark's extension.
#include "gnomesession.h"

#include "platform/wayland/gnome/gnomewindowsystem.h"

#include <algorithm>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace dwellmark::testing {

namespace fs = std::filesystem;

namespace {

constexpr const char* extensionUuid = "dwellmark@dwellmark.org";

} // namespace

std::string GnomeSession::startBus(const std::string& name) {
    // dbus-daemon forks into the background and names its address and process.
    ChildProcess daemon({"/usr/bin/dbus-daemon", "--config-file=/usr/share/dbus-1/session.conf", "--fork",
                         "--print-address=1", "--print-pid=1", "--address=unix:path=" + m_folder + "/" + name});
    const auto address = daemon.readLine(std::chrono::seconds(30));
    const auto pid = daemon.readLine(std::chrono::seconds(30));
    daemon.waitForExit(std::chrono::seconds(30));
    if (!address || !pid) {
        return {};
    }
    m_busPids.push_back(std::stoi(*pid));
    return *address;
}

GnomeSession::GnomeSession(bool withExtension) {
    std::string pattern = fs::temp_directory_path() / "dwellmark-gnome-XXXXXX";
    if (mkdtemp(pattern.data()) == nullptr) {
        return;
    }
    m_folder = pattern;
    for (const char* sub : {"runtime", "home", "data/gnome-shell/extensions", "config/glib-2.0/settings"}) {
        fs::create_directories(m_folder + "/" + sub);
    }
    chmod((m_folder + "/runtime").c_str(), 0700);
    std::error_code error;
    {
        std::ofstream settings(m_folder + "/config/glib-2.0/settings/keyfile");
        settings << "[org/gnome/shell]\n";
        if (withExtension) {
            fs::copy(DWELLMARK_GNOME_EXTENSION, m_folder + "/data/gnome-shell/extensions/" + extensionUuid,
                     fs::copy_options::recursive, error);
            settings << "enabled-extensions=['" << extensionUuid << "']\n";
        }
    }
    m_sessionBus = startBus("session-bus");
    const std::string systemBus = startBus("system-bus");
    if (error || m_sessionBus.empty() || systemBus.empty()) {
        return;
    }
    if (const char* old = std::getenv("DBUS_SESSION_BUS_ADDRESS")) {
        m_hadSessionBus = true;
        m_oldSessionBus = old;
    }
    setenv("DBUS_SESSION_BUS_ADDRESS", m_sessionBus.c_str(), 1);

    const std::string socketName = "dwellmark-gnome";
    m_waylandSocket = m_folder + "/runtime/" + socketName;
    m_shell = std::make_unique<ChildProcess>(
        std::vector<std::string>{"/usr/bin/gnome-shell", "--headless", "--wayland", "--no-x11", "--virtual-monitor",
                                 "1024x768", "--wayland-display", socketName},
        std::vector<std::string>{"XDG_RUNTIME_DIR=" + m_folder + "/runtime", "HOME=" + m_folder + "/home",
                                 "XDG_DATA_HOME=" + m_folder + "/data", "XDG_CONFIG_HOME=" + m_folder + "/config",
                                 "XDG_CACHE_HOME=" + m_folder + "/home/.cache", "GSETTINGS_BACKEND=keyfile",
                                 "DBUS_SYSTEM_BUS_ADDRESS=" + systemBus, "-DISPLAY", "-WAYLAND_DISPLAY",
                                 "-XDG_SESSION_TYPE", "-SWAYSOCK", "-XDG_CURRENT_DESKTOP"});

    bool ended = false;
    m_ready = eventually(
        [&] {
            if (m_shell->waitForExit(std::chrono::milliseconds(0))) {
                ended = true;
                return true;
            }
            if (!fs::exists(m_waylandSocket)) {
                return false;
            }
            const auto names = platform::wayland::GnomeWindowSystem::findBusNames();
            return names.shell && (names.extension || !withExtension);
        },
        std::chrono::seconds(90));
    m_ready = m_ready && !ended;
}

namespace {

// Whether the process has ended; a daemon left to init may stay a zombie a while.
bool ended(int pid) {
    std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
    std::string line;
    if (!std::getline(stat, line)) {
        return true;
    }
    const auto close = line.rfind(')');
    return close == std::string::npos || line.substr(close + 2, 1) == "Z";
}

} // namespace

GnomeSession::~GnomeSession() {
    m_shell.reset();
    for (const int pid : m_busPids) {
        ::kill(pid, SIGTERM);
    }
    // The services the buses started end with them, and may write to the
    // folders until they do.
    eventually([&] { return std::all_of(m_busPids.begin(), m_busPids.end(), [](int pid) { return ended(pid); }); },
               std::chrono::seconds(30));
    if (!m_sessionBus.empty()) {
        if (m_hadSessionBus) {
            setenv("DBUS_SESSION_BUS_ADDRESS", m_oldSessionBus.c_str(), 1);
        } else {
            unsetenv("DBUS_SESSION_BUS_ADDRESS");
        }
    }
    if (!m_folder.empty()) {
        eventually(
            [&] {
                std::error_code ignored;
                fs::remove_all(m_folder, ignored);
                return !fs::exists(m_folder, ignored);
            },
            std::chrono::seconds(30));
    }
}

std::string GnomeSession::log() const {
    return m_shell ? m_shell->errorOutput() : std::string("GNOME Shell was not started");
}

std::vector<std::string> GnomeSession::clientEnvironment() const {
    return {"WAYLAND_DISPLAY=" + m_waylandSocket, "DBUS_SESSION_BUS_ADDRESS=" + m_sessionBus, "-DISPLAY", "-SWAYSOCK"};
}

bool GnomeSession::activate(int pid) const {
    ChildProcess gdbus({"/usr/bin/gdbus", "call", "--session", "--dest", "org.dwellmark.Focus", "--object-path",
                        "/org/dwellmark/Focus", "--method", "org.dwellmark.Focus.ActivateProcess",
                        std::to_string(pid)});
    const auto answer = gdbus.readLine(std::chrono::seconds(30));
    gdbus.waitForExit(std::chrono::seconds(30));
    return answer == std::optional<std::string>("(true,)");
}

void GnomeSession::kill() {
    if (m_shell) {
        ::kill(m_shell->pid(), SIGKILL);
        m_shell->waitForExit(std::chrono::seconds(30));
    }
}

} // namespace dwellmark::testing
