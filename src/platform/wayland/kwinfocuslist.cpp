// What Dwellmark's KWin script reports, turned into the window list.
#include "kwinfocuslist.h"

namespace dwellmark::platform::wayland {

void KwinFocusList::activated(const Window& window) {
    WindowHandle number = 0;
    if (!window.id.empty()) {
        auto [it, added] = m_numbers.try_emplace(window.id, 0);
        if (added) {
            it->second = m_toplevels.add();
        }
        number = it->second;
        m_toplevels.setTitle(number, window.caption);
        m_toplevels.setAppId(number, window.resourceClass);
        if (window.pid > 0) {
            m_toplevels.setPid(number, window.pid);
        }
    }
    if (m_focused != 0 && m_focused != number) {
        m_toplevels.setActivated(m_focused, false);
        m_toplevels.done(m_focused);
    }
    if (number != 0) {
        m_toplevels.setActivated(number, true);
        m_toplevels.done(number);
    }
    m_focused = number;
}

void KwinFocusList::captionChanged(std::string_view id, std::string_view caption) {
    const WindowHandle number = numberOf(id);
    if (number == 0) {
        return;
    }
    // The pending state holds what was last made current; only the title moves.
    m_toplevels.setTitle(number, caption);
    m_toplevels.done(number);
}

void KwinFocusList::removed(std::string_view id) {
    const auto it = m_numbers.find(std::string(id));
    if (it == m_numbers.end()) {
        return;
    }
    if (it->second == m_focused) {
        m_focused = 0;
    }
    m_toplevels.remove(it->second);
    m_numbers.erase(it);
}

WindowHandle KwinFocusList::numberOf(std::string_view id) const {
    const auto it = m_numbers.find(std::string(id));
    return it != m_numbers.end() ? it->second : 0;
}

} // namespace dwellmark::platform::wayland
