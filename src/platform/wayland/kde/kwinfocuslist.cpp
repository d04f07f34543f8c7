// What Dwellmark's KWin script reports, turned into the window list.
#include "platform/wayland/kde/kwinfocuslist.h"

namespace dwellmark::platform::wayland {

void KwinFocusList::activated(const Window& window) {
    std::uint64_t key = 0;
    if (!window.id.empty()) {
        const auto [it, added] = m_keys.try_emplace(window.id, m_lastKey + 1);
        m_lastKey = added ? it->second : m_lastKey;
        key = it->second;
    }
    // The resource class of a Wayland window is its app id.
    m_focus.focusChanged(FocusList::Focus{window.caption, window.resourceClass, {}, window.pid, key});
}

void KwinFocusList::captionChanged(std::string_view id, std::string_view caption) {
    const WindowHandle number = numberOf(id);
    if (number == 0) {
        return;
    }
    // What was last made current stays pending; only the title moves.
    m_toplevels.setTitle(number, caption);
    m_toplevels.done(number);
}

void KwinFocusList::removed(std::string_view id) {
    if (const std::uint64_t key = keyOf(id); key != 0) {
        m_focus.windowClosed(key);
        m_keys.erase(std::string(id));
    }
}

WindowHandle KwinFocusList::numberOf(std::string_view id) const {
    return m_focus.numberOf(keyOf(id));
}

std::uint64_t KwinFocusList::keyOf(std::string_view id) const {
    const auto it = m_keys.find(std::string(id));
    return it != m_keys.end() ? it->second : 0;
}

} // namespace dwellmark::platform::wayland
