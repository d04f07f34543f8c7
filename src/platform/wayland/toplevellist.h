// The toplevel windows a Wayland compositor announces, as its events describe them.
#pragma once

#include "tracking/windowhandle.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace dwellmark::platform::wayland {

/// Keeps title, app id, process and focus of each announced window, and hands
/// out the numbers by which the tracker names them: 32-bit, never 0, and not
/// given to another window while one holds it.
///
/// Compositors send a window's changes in groups: title, app id and state are
/// held back until the group's done(), then take effect together, so a tick
/// never sees half of a change.
class ToplevelList final {
public:
    /// What is known of one window once its first group of changes is done.
    struct Toplevel {
        std::string title;
        std::string appId;
        /// 0 while its process is not known.
        long pid = 0;
    };

    /// A window was announced: its number.
    WindowHandle add();

    void setTitle(WindowHandle window, std::string_view title);
    void setAppId(WindowHandle window, std::string_view appId);
    /// Whether the window holds the keyboard focus (the compositor's "activated" state).
    void setActivated(WindowHandle window, bool activated);
    /// The changes sent since the last done() take effect.
    void done(WindowHandle window);
    /// The window is gone: it exists no more, and its number may be handed out again.
    void remove(WindowHandle window);

    void setPid(WindowHandle window, long pid);

    /// The focused window, 0 when none is. When a compositor names several,
    /// the one focused last.
    WindowHandle foreground() const { return m_foreground; }
    bool exists(WindowHandle window) const { return m_windows.contains(window); }
    /// nullptr when the window does not exist.
    const Toplevel* find(WindowHandle window) const;
    std::size_t size() const { return m_windows.size(); }
    /// The windows with that title and app id, in no particular order.
    std::vector<WindowHandle> matching(std::string_view title, std::string_view appId) const;

    /// The number that add() tries first; for tests of the wrap past the largest number.
    void setNextNumber(WindowHandle next) { m_next = next; }

private:
    struct Entry {
        Toplevel current;
        Toplevel pending;
        bool pendingActivated = false;
        /// When the window took the focus (a count of focus changes); 0 when it has not got it.
        std::uint64_t focusedSince = 0;
    };

    void findForeground();

    std::unordered_map<WindowHandle, Entry> m_windows;
    WindowHandle m_next = 1;
    WindowHandle m_foreground = 0;
    std::uint64_t m_focusChanges = 0;
};

} // namespace dwellmark::platform::wayland
