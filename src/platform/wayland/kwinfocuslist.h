// What Dwellmark's KWin script reports, turned into the window list.
#pragma once

#include "toplevellist.h"

#include <string>
#include <string_view>
#include <unordered_map>

namespace dwellmark::platform::wayland {

/// The script names each window KWin activates (an empty id for KWin's "no
/// window", which it sends just before each real activation), each caption
/// change and each window that goes. Windows are known by KWin's own id text
/// and enter the list when they are first activated; the list hands out the
/// numbers.
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

    explicit KwinFocusList(ToplevelList& toplevels) : m_toplevels(toplevels) {}

    /// KWin activated the window; none when its id is empty.
    void activated(const Window& window);
    /// The window's caption is now this; nothing for a window not met yet.
    void captionChanged(std::string_view id, std::string_view caption);
    /// The window is closed.
    void removed(std::string_view id);

    /// The list's number of a KWin id, 0 when it is not known.
    WindowHandle numberOf(std::string_view id) const;

private:
    ToplevelList& m_toplevels;
    std::unordered_map<std::string, WindowHandle> m_numbers;
    WindowHandle m_focused = 0;
};

} // namespace dwellmark::platform::wayland
