// What Dwellmark's KWin script reports, turned into the window list.
#pragma once

#include "platform/wayland/focuslist.h"
#include "platform/wayland/toplevellist.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>

namespace dwellmark::platform::wayland {

/// The script names each window KWin activates (an empty id for KWin's "no
/// window", which it sends just before each real activation), each caption
/// change and each window that closes. Like GNOME's extension it names only
/// the focused window, so the same bookkeeping serves, under numbers of its
/// own for KWin's id texts; what it adds is the caption change of a window
/// that is not focused.
class KwinFocusList final {
public:
    /// One window as the script describes it.
    struct Window {
        std::string id;
        std::string caption;
        std::string resourceClass;
        /// 0 when KWin does not know it.
        long pid = 0;
    };

    explicit KwinFocusList(ToplevelList& toplevels) : m_toplevels(toplevels), m_focus(toplevels) {}

    /// KWin activated the window; none when its id is empty.
    void activated(const Window& window);
    /// The window's caption is now this; nothing for a window not met yet.
    void captionChanged(std::string_view id, std::string_view caption);
    /// The window is closed.
    void removed(std::string_view id);

    /// The list's number of a KWin id, 0 when it is not known.
    WindowHandle numberOf(std::string_view id) const;

private:
    /// The key under which the focus list knows the id, 0 when it does not.
    std::uint64_t keyOf(std::string_view id) const;

    ToplevelList& m_toplevels;
    FocusList m_focus;
    std::unordered_map<std::string, std::uint64_t> m_keys;
    std::uint64_t m_lastKey = 0;
};

} // namespace dwellmark::platform::wayland
