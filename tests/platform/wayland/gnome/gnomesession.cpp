// A headless GNOME Shell of the test's own, on private buses, with or without Dwellmark's extension.
#include "gnomesession.h"

#include "platform/wayland/gnome/gnomewindowsystem.h"

#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <unistd.h>

namespace dwellmark::testing {

namespace fs = std::filesystem;

namespace {

constexpr const char* extensionUuid = "dwellmark@dwellmark.org";
constexpr const char* focusHelperUuid = "focus-helper@dwellmark.test";

} // namespace

GnomeSession::GnomeSession(Extension extension) {
    if (!m_folder.made()) {
        return;
    }
    const std::string folder = m_folder.path();
    // The shell and the services its buses start keep their files in the folder.
    std::vector<std::string> privateHome = m_folder.privateHome();
    privateHome.push_back("GSETTINGS_BACKEND=keyfile");
    for (const char* sub : {"data/gnome-shell/extensions", "config/glib-2.0/settings"}) {
        m_folder.makeFolder(sub);
    }
    std::error_code error;
    const std::string extensions = folder + "/data/gnome-shell/extensions/";
    // The tests' own helper is always there; Dwellmark's as asked.
    fs::copy(DWELLMARK_TEST_FOCUS_HELPER, extensions + focusHelperUuid, fs::copy_options::recursive, error);
    if (extension != Extension::Absent && !error) {
        fs::copy(DWELLMARK_GNOME_EXTENSION, extensions + extensionUuid, fs::copy_options::recursive, error);
    }
    {
        std::ofstream settings(folder + "/config/glib-2.0/settings/keyfile");
        settings << "[org/gnome/shell]\nenabled-extensions=['" << focusHelperUuid << "'"
                 << (extension == Extension::Enabled ? std::string(", '") + extensionUuid + "'" : std::string())
                 << "]\n";
    }
    m_sessionBus = std::make_unique<PrivateBus>(folder + "/session-bus", privateHome);
    m_systemBus = std::make_unique<PrivateBus>(folder + "/system-bus", privateHome);
    if (error || !m_sessionBus->ready() || !m_systemBus->ready()) {
        return;
    }
    m_joined = std::make_unique<ScopedEnvironment>("DBUS_SESSION_BUS_ADDRESS", m_sessionBus->address());

    const std::string socketName = "dwellmark-gnome";
    m_waylandSocket = folder + "/runtime/" + socketName;
    std::vector<std::string> environment = privateHome;
    environment.insert(environment.end(),
                       {"DBUS_SYSTEM_BUS_ADDRESS=" + m_systemBus->address(), "-DISPLAY", "-WAYLAND_DISPLAY",
                        "-XDG_SESSION_TYPE", "-SWAYSOCK", "-XDG_CURRENT_DESKTOP"});
    m_shell = std::make_unique<ChildProcess>(std::vector<std::string>{"/usr/bin/gnome-shell", "--headless", "--wayland",
                                                                      "--no-x11", "--virtual-monitor", "1024x768",
                                                                      "--wayland-display", socketName},
                                             environment);

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
            return names.shell && (names.extension || extension != Extension::Enabled);
        },
        std::chrono::seconds(90));
    m_ready = m_ready && !ended;
}

GnomeSession::~GnomeSession() {
    m_shell.reset();
    m_joined.reset();
    // The services the buses started end with them; the folder waits for their files.
    m_systemBus.reset();
    m_sessionBus.reset();
}

std::string GnomeSession::log() const {
    return m_shell ? m_shell->errorOutput() : std::string("GNOME Shell was not started");
}

std::vector<std::string> GnomeSession::clientEnvironment() const {
    return {"WAYLAND_DISPLAY=" + m_waylandSocket,
            "DBUS_SESSION_BUS_ADDRESS=" + (m_sessionBus ? m_sessionBus->address() : std::string()), "-DISPLAY",
            "-SWAYSOCK"};
}

bool GnomeSession::activate(int pid) const {
    ChildProcess gdbus({"/usr/bin/gdbus", "call", "--session", "--dest", "org.dwellmark.TestFocus", "--object-path",
                        "/org/dwellmark/TestFocus", "--method", "org.dwellmark.TestFocus.ActivateProcess",
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
