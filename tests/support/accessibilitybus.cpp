// A private session bus with AT-SPI's bus launcher, so that a test can read a program's widgets from outside.
#include "accessibilitybus.h"

#include "atspireader.h"

#include <csignal>
#include <filesystem>
#include <sys/stat.h>

namespace dwellmark::testing {

namespace {

// Limits that only catch hangs, also on a loaded machine.
constexpr std::chrono::seconds hang(60);

// Ends the process group that the process leads, and the process.
void stop(std::unique_ptr<ChildProcess>& process) {
    if (process) {
        ::kill(-process->pid(), SIGKILL);
        process.reset();
    }
}

} // namespace

AccessibilityBus::AccessibilityBus() {
    std::string pattern = std::filesystem::temp_directory_path() / "dwellmark-a11y-XXXXXX";
    if (mkdtemp(pattern.data()) == nullptr) {
        return;
    }
    m_folder = pattern;
    std::error_code error;
    std::filesystem::create_directory(m_folder + "/runtime", error);
    chmod((m_folder + "/runtime").c_str(), 0700);

    // setsid makes each the leader of a group of its own, which the daemons
    // they start (the accessibility bus, the registry) stay in.
    m_sessionBus = std::make_unique<ChildProcess>(std::vector<std::string>{
        "/usr/bin/setsid", "/usr/bin/dbus-daemon", "--config-file=/usr/share/dbus-1/session.conf", "--nofork",
        "--print-address=1", "--address=unix:path=" + m_folder + "/session-bus"});
    const auto address = m_sessionBus->readLine(hang);
    if (!address) {
        return;
    }
    m_sessionAddress = *address;
    // The launcher keeps the accessibility bus's socket in its runtime folder,
    // and, given an X display, would name the bus on the display's root window.
    m_launcher = std::make_unique<ChildProcess>(
        std::vector<std::string>{"/usr/bin/setsid", "/usr/libexec/at-spi-bus-launcher"},
        std::vector<std::string>{"DBUS_SESSION_BUS_ADDRESS=" + m_sessionAddress,
                                 "XDG_RUNTIME_DIR=" + m_folder + "/runtime", "HOME=" + m_folder, "-DISPLAY",
                                 "-WAYLAND_DISPLAY", "-AT_SPI_BUS_ADDRESS"});
    eventually(
        [&] {
            if (m_launcher->waitForExit(std::chrono::milliseconds(0))) {
                return true;
            }
            m_accessibilityAddress = AtspiReader::accessibilityBusAddress(m_sessionAddress).value_or("");
            return ready();
        },
        hang);
}

AccessibilityBus::~AccessibilityBus() {
    stop(m_launcher);
    stop(m_sessionBus);
    if (!m_folder.empty()) {
        std::error_code ignored;
        std::filesystem::remove_all(m_folder, ignored);
    }
}

std::vector<std::string> AccessibilityBus::clientEnvironment() const {
    return {"DBUS_SESSION_BUS_ADDRESS=" + m_sessionAddress, "QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1",
            "XDG_RUNTIME_DIR=" + m_folder + "/runtime", "-AT_SPI_BUS_ADDRESS"};
}

} // namespace dwellmark::testing
