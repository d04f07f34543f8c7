// A virtual KWin of the test's own, with the desktop files that let the test's programs see its windows.
#include "kwinsession.h"

#include "platform/wayland/kdewindowsystem.h"
#include "platform/wayland/waylanddisplay.h"

#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace dwellmark::testing {

namespace fs = std::filesystem;

KwinSession::KwinSession(const std::vector<std::string>& trustedPrograms) {
    std::string pattern = fs::temp_directory_path() / "dwellmark-kwin-XXXXXX";
    if (mkdtemp(pattern.data()) == nullptr) {
        return;
    }
    m_folder = pattern;
    for (const char* sub : {"runtime", "home", "data/applications", "config", "bin"}) {
        fs::create_directories(m_folder + "/" + sub);
    }
    chmod((m_folder + "/runtime").c_str(), 0700);
    const std::string kwin = m_folder + "/bin/kwin_wayland";
    std::error_code error;
    fs::copy_file("/usr/bin/kwin_wayland", kwin, error);
    if (error) {
        return;
    }
    fs::permissions(kwin, fs::perms::owner_all, fs::perm_options::replace, error);
    int number = 0;
    for (const std::string& program : trustedPrograms) {
        std::ofstream desktop(m_folder + "/data/applications/dwellmark-test-" + std::to_string(++number) +
                              ".desktop");
        desktop << "[Desktop Entry]\nType=Application\nName=Dwellmark test " << number << "\nExec="
                << fs::canonical(program, error).string()
                << "\nNoDisplay=true\nX-KDE-Wayland-Interfaces=org_kde_plasma_window_management\n";
    }

    const std::string socketName = "dwellmark-kwin";
    m_waylandSocket = m_folder + "/runtime/" + socketName;
    m_kwin = std::make_unique<ChildProcess>(
        std::vector<std::string>{kwin, "--virtual", "--no-lockscreen", "--no-global-shortcuts", "--no-kactivities",
                                 "--socket", socketName},
        std::vector<std::string>{"XDG_RUNTIME_DIR=" + m_folder + "/runtime", "HOME=" + m_folder + "/home",
                                 "XDG_DATA_HOME=" + m_folder + "/data", "XDG_CONFIG_HOME=" + m_folder + "/config",
                                 "XDG_CACHE_HOME=" + m_folder + "/home/.cache",
                                 // KWin talks a lot; a full pipe would stop it.
                                 "QT_LOGGING_RULES=*=false", "-DISPLAY", "-WAYLAND_DISPLAY", "-QT_QPA_PLATFORM",
                                 "-DBUS_SESSION_BUS_ADDRESS", "-XDG_SESSION_TYPE", "-SWAYSOCK"});

    // Ready once this program, trusted by its desktop file, is offered the protocol.
    bool ended = false;
    m_ready = eventually(
        [&] {
            if (m_kwin->waitForExit(std::chrono::milliseconds(0))) {
                ended = true;
                return true;
            }
            if (!fs::exists(m_waylandSocket)) {
                return false;
            }
            const auto display = platform::wayland::WaylandDisplay::connect(m_waylandSocket);
            return display != nullptr && display->find(platform::wayland::KdeWindowSystem::protocol) != nullptr;
        },
        std::chrono::seconds(60));
    m_ready = m_ready && !ended;
}

KwinSession::~KwinSession() {
    m_kwin.reset();
    if (!m_folder.empty()) {
        std::error_code ignored;
        fs::remove_all(m_folder, ignored);
    }
}

std::string KwinSession::log() const {
    return m_kwin ? m_kwin->errorOutput() : std::string("KWin was not started");
}

std::vector<std::string> KwinSession::clientEnvironment() const {
    return {"WAYLAND_DISPLAY=" + m_waylandSocket, "-DISPLAY", "-SWAYSOCK"};
}

void KwinSession::kill() {
    if (m_kwin) {
        ::kill(m_kwin->pid(), SIGKILL);
        m_kwin->waitForExit(std::chrono::seconds(30));
    }
}

} // namespace dwellmark::testing
