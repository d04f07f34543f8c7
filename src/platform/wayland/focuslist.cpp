// Reports that name only the focused window, turned into the window list.
#include "platform/wayland/focuslist.h"

namespace dwellmark::platform::wayland {

void FocusList::focusChanged(const Focus& focus) {
    WindowHandle number = 0;
    if (focus.id != 0) {
        auto [it, added] = m_numbers.try_emplace(focus.id, 0);
        if (added) {
            it->second = m_toplevels.add();
        }
        number = it->second;
        m_toplevels.setTitle(number, focus.title);
        m_toplevels.setAppId(number, focus.appId.empty() ? focus.wmClass : focus.appId);
        if (focus.pid > 0) {
            m_toplevels.setPid(number, focus.pid);
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

void FocusList::windowClosed(std::uint64_t id) {
    const auto it = m_numbers.find(id);
    if (it == m_numbers.end()) {
        return;
    }
    if (it->second == m_focused) {
        m_focused = 0;
    }
    m_toplevels.remove(it->second);
    m_numbers.erase(it);
}

WindowHandle FocusList::numberOf(std::uint64_t id) const {
    const auto it = m_numbers.find(id);
    return it != m_numbers.end() ? it->second : 0;
}

} // namespace dwellmark::platform::wayland
