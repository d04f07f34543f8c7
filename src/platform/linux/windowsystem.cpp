// A window system whose backend can be replaced while the program runs.
#include "platform/linux/windowsystem.h"

#include <unistd.h>

namespace dwellmark::platform::linux {

SwitchableWindowSystem::SwitchableWindowSystem(std::unique_ptr<WindowSystem> backend, ChangeFeed& changes)
    : ForwardingWindowSystem(std::move(backend)), ForwardingChangeFeed(changes) {
    // A backend without a descriptor has the front end tick every
    // millisecond from the start, which suits any later backend too.
    m_watched = changes.changeDescriptor();
    if (m_watched < 0) {
        return;
    }
    m_watchedSet.emplace();
    if (!m_watchedSet->add(m_watched)) {
        m_watchedSet.reset();
    }
}

SwitchableWindowSystem::~SwitchableWindowSystem() = default;

void SwitchableWindowSystem::switchTo(std::unique_ptr<wayland::WaylandWindowSystem> backend) {
    if (m_watchedSet) {
        m_watchedSet->remove(m_watched);
        m_watched = backend->changeDescriptor();
        m_watchedSet->add(m_watched);
    }
    m_switched = backend.get();
    m_switchedOwn = 0;
    forwardTo(*backend);
    replaceBackend(std::move(backend));
}

int SwitchableWindowSystem::changeDescriptor() const {
    return m_watchedSet ? m_watchedSet->descriptor() : -1;
}

WindowHandle SwitchableWindowSystem::findOwnWindow(WindowHandle nativeId, std::string_view title,
                                                   std::string_view appId) {
    m_ownTitle = title;
    m_ownWindow = backend().findOwnWindow(nativeId, title, appId);
    return m_ownWindow;
}

bool SwitchableWindowSystem::isOwnWindow(WindowHandle handle) {
    if (m_switched == nullptr || m_ownWindow == 0 || handle == 0) {
        return false;
    }
    if (m_switchedOwn != 0) {
        return handle == m_switchedOwn;
    }
    // Drawn through Xwayland, the window keeps the class that X11 gave it, which
    // is not always its Wayland app id: its process and title tell it. The
    // first such window is the main window, in front as its button was just
    // clicked; the program's other windows of that title ("Hide Me"'s answer)
    // are logged as every backend logs them.
    if (m_switched->processId(handle) != static_cast<long>(getpid()) ||
        m_switched->getWindowTitle(handle) != m_ownTitle) {
        return false;
    }
    m_switchedOwn = handle;
    return true;
}

WindowHandle SwitchableWindowSystem::foregroundWindow() {
    const WindowHandle foreground = backend().foregroundWindow();
    return isOwnWindow(foreground) ? m_ownWindow : foreground;
}

bool SwitchableWindowSystem::isWindow(WindowHandle handle) {
    return (m_switched != nullptr && handle == m_ownWindow && handle != 0) || backend().isWindow(handle);
}

} // namespace dwellmark::platform::linux
