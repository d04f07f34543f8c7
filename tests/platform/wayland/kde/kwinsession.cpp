// A virtual KWin of the test's own, with the desktop files that let the test's programs see its windows.
#include "kwinsession.h"

#include "platform/wayland/kde/kdewindowsystem.h"
#include "platform/wayland/kde/kwinscriptwindowsystem.h"
#include "platform/wayland/waylanddisplay.h"

#include <filesystem>
#include <fstream>

namespace dwellmark::testing {

namespace fs = std::filesystem;

namespace {

/// Runs gdbus on the session bus the test has joined; its first line of answer.
std::optional<std::string> gdbus(const std::vector<std::string>& arguments) {
    std::vector<std::string> command{"/usr/bin/gdbus", "call", "--session", "--dest", "org.kde.KWin"};
    command.insert(command.end(), arguments.begin(), arguments.end());
    ChildProcess call(command);
    auto answer = call.readLine(hang);
    call.waitForExit(hang);
    return answer;
}

} // namespace

KwinSession::KwinSession(const std::vector<std::string>& trustedPrograms) {
    if (!m_folder.made()) {
        return;
    }
    const std::string folder = m_folder.path();
    // KWin and the services its bus starts keep their files in the folder.
    const std::vector<std::string> privateHome = m_folder.privateHome();
    m_folder.makeFolder("data/applications");
    m_folder.makeFolder("bin");
    const std::string kwin = folder + "/bin/kwin_wayland";
    std::error_code error;
    fs::copy_file("/usr/bin/kwin_wayland", kwin, error);
    if (error) {
        return;
    }
    fs::permissions(kwin, fs::perms::owner_all, fs::perm_options::replace, error);
    // KWin finds a program's desktop file through the applications menu,
    // which KDE Frameworks 6 does not bring: Plasma brings its own
    // (plasma-workspace's, through XDG_MENU_PREFIX=plasma-). The session's
    // config folder holds one, as a user's edited menu would be.
    m_folder.makeFolder("config/menus");
    std::ofstream(folder + "/config/menus/applications.menu")
        << "<Menu>\n  <Name>Applications</Name>\n  <DefaultAppDirs/>\n  <DefaultDirectoryDirs/>\n"
           "  <Include><All/></Include>\n</Menu>\n";
    int number = 0;
    for (const std::string& program : trustedPrograms) {
        std::ofstream desktop(folder + "/data/applications/dwellmark-test-" + std::to_string(++number) + ".desktop");
        desktop << "[Desktop Entry]\nType=Application\nName=Dwellmark test " << number
                << "\nExec=" << fs::canonical(program, error).string()
                << "\nNoDisplay=true\nX-KDE-Wayland-Interfaces=org_kde_plasma_window_management\n";
    }

    m_bus = std::make_unique<PrivateBus>(folder + "/bus", privateHome);
    if (!m_bus->ready()) {
        return;
    }
    m_joined = std::make_unique<ScopedEnvironment>("DBUS_SESSION_BUS_ADDRESS", m_bus->address());

    const std::string socketName = "dwellmark-kwin";
    m_waylandSocket = folder + "/runtime/" + socketName;
    std::vector<std::string> environment = privateHome;
    // KWin talks a lot; a full pipe would stop it.
    environment.insert(environment.end(), {"QT_LOGGING_RULES=*=false", "-XDG_MENU_PREFIX", "-DISPLAY",
                                           "-WAYLAND_DISPLAY", "-QT_QPA_PLATFORM", "-XDG_SESSION_TYPE", "-SWAYSOCK"});
    m_compositor = std::make_unique<ChildProcess>(std::vector<std::string>{kwin, "--virtual", "--no-lockscreen",
                                                                           "--no-global-shortcuts", "--no-kactivities",
                                                                           "--socket", socketName},
                                                  environment);

    // Ready once its scripting answers and, when programs are trusted, this
    // program (trusted like them) is offered the protocol.
    m_ready = m_compositor->reaches(
        [&] {
            if (!fs::exists(m_waylandSocket) || !platform::wayland::KwinScriptWindowSystem::kwinOnBus()) {
                return false;
            }
            if (trustedPrograms.empty()) {
                return true;
            }
            const auto display = platform::wayland::WaylandDisplay::connect(m_waylandSocket);
            return display != nullptr && display->find(platform::wayland::KdeWindowSystem::protocol) != nullptr;
        },
        std::chrono::seconds(60));
}

KwinSession::~KwinSession() {
    m_compositor.reset();
    m_joined.reset();
    m_bus.reset();
}

std::string KwinSession::log() const {
    return m_compositor ? m_compositor->errorOutput() : std::string("KWin was not started");
}

std::vector<std::string> KwinSession::clientEnvironment() const {
    return {"WAYLAND_DISPLAY=" + m_waylandSocket,
            "DBUS_SESSION_BUS_ADDRESS=" + (m_bus ? m_bus->address() : std::string()), "-DISPLAY", "-SWAYSOCK"};
}

bool KwinSession::activate(const std::string& resourceClass) {
    // Plasma 6 renamed the list and the active window; both names are tried.
    const std::string name = "dwellmark-test-activate-" + std::to_string(++m_scripts);
    const std::string file = m_folder.path() + "/" + name + ".js";
    {
        std::ofstream script(file);
        script << "const windows = workspace.windowList ? workspace.windowList() : workspace.clientList();\n"
                  "for (const window of windows) {\n"
                  "    if (window.resourceClass == \""
               << resourceClass
               << "\") {\n"
                  "        if (workspace.activeWindow !== undefined) { workspace.activeWindow = window; }\n"
                  "        else { workspace.activeClient = window; }\n"
                  "    }\n"
                  "}\n";
    }
    const auto id = loadScript(file, name);
    const bool ran = id && runScript(*id);
    unloadScript(name);
    return ran;
}

bool KwinSession::runScript(const std::string& id) const {
    // Plasma 5 puts the script's object at /N, Plasma 6 under /Scripting. Run answers once the script has run.
    const auto run = [&](const std::string& path) {
        return gdbus({"--object-path", path, "--method", "org.kde.kwin.Script.run"}) ==
               std::optional<std::string>("()");
    };
    return run("/Scripting/Script" + id) || run("/" + id);
}

std::optional<std::string> KwinSession::loadScript(const std::string& file, const std::string& pluginName) const {
    const auto loaded =
        gdbus({"--object-path", "/Scripting", "--method", "org.kde.kwin.Scripting.loadScript", file, pluginName});
    // "(N,)"
    if (!loaded || loaded->size() < 3 || loaded->find(',') == std::string::npos) {
        return std::nullopt;
    }
    return loaded->substr(1, loaded->find(',') - 1);
}

bool KwinSession::unloadScript(const std::string& pluginName) const {
    return gdbus({"--object-path", "/Scripting", "--method", "org.kde.kwin.Scripting.unloadScript", pluginName}) ==
           std::optional<std::string>("(true,)");
}

bool KwinSession::scriptLoaded(const std::string& pluginName) const {
    return gdbus({"--object-path", "/Scripting", "--method", "org.kde.kwin.Scripting.isScriptLoaded", pluginName}) ==
           std::optional<std::string>("(true,)");
}

} // namespace dwellmark::testing
