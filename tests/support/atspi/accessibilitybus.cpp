// A private session bus with AT-SPI's bus launcher, so that a test can read a program's widgets from outside.
#include "accessibilitybus.h"

#include "atspireader.h"

#include <csignal>

namespace dwellmark::testing {

AccessibilityBus::AccessibilityBus() {
    if (!m_folder.made()) {
        return;
    }
    // The services that the buses start keep what they write in the folder.
    const std::vector<std::string> privateHome = m_folder.privateHome();
    m_sessionBus = std::make_unique<PrivateBus>(m_folder.path() + "/session-bus", privateHome);
    if (!m_sessionBus->ready()) {
        return;
    }
    // The launcher keeps the accessibility bus's socket in its runtime folder,
    // and, given an X display, would name the bus on the display's root window.
    // setsid makes it the leader of a group of its own, which the daemons it
    // starts (the accessibility bus, the registry) stay in.
    std::vector<std::string> environment{"DBUS_SESSION_BUS_ADDRESS=" + m_sessionBus->address(), "-DISPLAY",
                                         "-WAYLAND_DISPLAY", "-AT_SPI_BUS_ADDRESS"};
    environment.insert(environment.end(), privateHome.begin(), privateHome.end());
    m_launcher = std::make_unique<ChildProcess>(
        std::vector<std::string>{"/usr/bin/setsid", "/usr/libexec/at-spi-bus-launcher"}, environment);
    m_launcher->reaches(
        [&] {
            m_accessibilityAddress = AtspiReader::accessibilityBusAddress(m_sessionBus->address()).value_or("");
            return ready();
        },
        std::chrono::seconds(60)); // only catches a hang, also on a loaded machine
}

AccessibilityBus::~AccessibilityBus() {
    if (m_launcher) {
        ::kill(-m_launcher->pid(), SIGKILL);
        m_launcher.reset();
    }
    m_sessionBus.reset();
}

std::vector<std::string> AccessibilityBus::clientEnvironment() const {
    return {"DBUS_SESSION_BUS_ADDRESS=" + (m_sessionBus ? m_sessionBus->address() : std::string()),
            "QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1", "XDG_RUNTIME_DIR=" + m_folder.path() + "/runtime",
            "-AT_SPI_BUS_ADDRESS"};
}

} // namespace dwellmark::testing
