#include "privatedesktop.h"

#include "desktopprobe.h"

#include <stdexcept>

namespace dwellmark::testing {

PrivateDesktop::PrivateDesktop() {
    m_windowManager = std::make_unique<ChildProcess>(std::vector<std::string>{"/usr/bin/openbox", "--sm-disable"},
                                                     std::vector<std::string>{"DISPLAY=" + display()});
    DesktopProbe probe(display());
    if (!eventually([&] { return probe.windowManagerRuns(); }, std::chrono::seconds(20))) {
        throw std::runtime_error("openbox did not start on " + display());
    }
}

PrivateDesktop::~PrivateDesktop() {
    // The window manager goes first, so that it does not see its server die.
    m_windowManager.reset();
}

} // namespace dwellmark::testing
