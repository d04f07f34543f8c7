// A headless GNOME Shell of the test's own, on private buses, with or without Dwellmark's extension.
#include "gnomesession.h"

#include "platform/wayland/gnome/gnomewindowsystem.h"

#include <filesystem>
#include <fstream>

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
    for (const char* sub : {"data/dwellmark", "data/gnome-shell/extensions", "config/glib-2.0/settings"}) {
        m_folder.makeFolder(sub);
    }
    // Dwellmark installed in the session's data folder as its package installs
    // it: both variants, and GNOME Shell's place for the extension linked to
    // the one this shell loads by the package's own choose-extension.
    std::error_code error;
    const std::string extensions = folder + "/data/gnome-shell/extensions/";
    fs::create_directory_symlink(DWELLMARK_GNOME_EXTENSIONS, folder + "/data/dwellmark/gnome-shell", error);
    // It asks gnome-shell for its version, which makes a cache folder in the home folder.
    ChildProcess choose({"/bin/sh", DWELLMARK_CHOOSE_EXTENSION, folder + "/data"}, privateHome);
    const auto chosen = choose.waitForExit(hang);
    if (error || !chosen || *chosen != 0) {
        return;
    }
    m_variant = fs::read_symlink(extensions + extensionUuid, error).parent_path().filename();
    if (extension == Extension::Absent) {
        fs::remove(extensions + extensionUuid, error);
    }
    // The tests' own helper is always there, in the same variant.
    fs::copy(std::string(DWELLMARK_TEST_FOCUS_HELPERS) + "/" + m_variant + "/" + focusHelperUuid,
             extensions + focusHelperUuid, fs::copy_options::recursive, error);
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
    m_compositor = std::make_unique<ChildProcess>(std::vector<std::string>{"/usr/bin/gnome-shell", "--headless",
                                                                           "--wayland", "--no-x11", "--virtual-monitor",
                                                                           "1024x768", "--wayland-display", socketName},
                                                  environment);

    m_ready = m_compositor->reaches(
        [&] {
            if (!fs::exists(m_waylandSocket)) {
                return false;
            }
            const auto names = platform::wayland::GnomeWindowSystem::findBusNames();
            return names.shell && (names.extension || extension != Extension::Enabled);
        },
        std::chrono::seconds(90));
}

GnomeSession::~GnomeSession() {
    m_compositor.reset();
    m_joined.reset();
    // The services the buses started end with them; the folder waits for their files.
    m_systemBus.reset();
    m_sessionBus.reset();
}

std::string GnomeSession::log() const {
    const std::string variant = "(the extension's variant for GNOME " + m_variant + ")\n";
    return variant + (m_compositor ? m_compositor->errorOutput() : std::string("GNOME Shell was not started"));
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

} // namespace dwellmark::testing
