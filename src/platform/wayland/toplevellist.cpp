// The toplevel windows a Wayland compositor announces, as its events describe them.
#include "platform/wayland/toplevellist.h"

#include "platform/linux/titletext.h"

#include <limits>

namespace dwellmark::platform::wayland {

WindowHandle ToplevelList::add() {
    // Counting on from the last number hands a number out again only after
    // two thousand million windows; numbers still held are passed over.
    while (m_next <= 0 || m_windows.contains(m_next)) {
        m_next = m_next <= 0 || m_next == std::numeric_limits<WindowHandle>::max() ? 1 : m_next + 1;
    }
    const WindowHandle number = m_next;
    m_next = number == std::numeric_limits<WindowHandle>::max() ? 1 : number + 1;
    m_windows.emplace(number, Entry{});
    return number;
}

void ToplevelList::setTitle(WindowHandle window, std::string_view title) {
    if (auto it = m_windows.find(window); it != m_windows.end()) {
        // Clients may send any bytes; the rest of the program takes valid UTF-8.
        it->second.pending.title = linux::titleFromUtf8(title);
    }
}

void ToplevelList::setAppId(WindowHandle window, std::string_view appId) {
    if (auto it = m_windows.find(window); it != m_windows.end()) {
        it->second.pending.appId = linux::titleFromUtf8(appId);
    }
}

void ToplevelList::setActivated(WindowHandle window, bool activated) {
    if (auto it = m_windows.find(window); it != m_windows.end()) {
        it->second.pendingActivated = activated;
    }
}

void ToplevelList::done(WindowHandle window) {
    auto it = m_windows.find(window);
    if (it == m_windows.end()) {
        return;
    }
    Entry& entry = it->second;
    const long pid = entry.current.pid;
    entry.current = entry.pending;
    entry.current.pid = pid;
    if (entry.pendingActivated && entry.focusedSince == 0) {
        entry.focusedSince = ++m_focusChanges;
    } else if (!entry.pendingActivated) {
        entry.focusedSince = 0;
    }
    findForeground();
}

void ToplevelList::remove(WindowHandle window) {
    if (m_windows.erase(window) != 0) {
        findForeground();
    }
}

void ToplevelList::setPid(WindowHandle window, long pid) {
    if (auto it = m_windows.find(window); it != m_windows.end()) {
        it->second.current.pid = pid;
        it->second.pending.pid = pid;
    }
}

const ToplevelList::Toplevel* ToplevelList::find(WindowHandle window) const {
    const auto it = m_windows.find(window);
    return it != m_windows.end() ? &it->second.current : nullptr;
}

std::vector<WindowHandle> ToplevelList::matching(std::string_view title, std::string_view appId) const {
    std::vector<WindowHandle> found;
    for (const auto& [number, entry] : m_windows) {
        if (entry.current.title == title && entry.current.appId == appId) {
            found.push_back(number);
        }
    }
    return found;
}

void ToplevelList::findForeground() {
    m_foreground = 0;
    std::uint64_t latest = 0;
    for (const auto& [number, entry] : m_windows) {
        if (entry.focusedSince > latest) {
            latest = entry.focusedSince;
            m_foreground = number;
        }
    }
}

} // namespace dwellmark::platform::wayland
