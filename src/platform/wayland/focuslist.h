// Reports that name only the focused window, turned into the window list.
#pragma once

#include "platform/wayland/toplevellist.h"

#include <cstdint>
#include <string>
#include <unordered_map>

namespace dwellmark::platform::wayland {

/// For the desktops that tell only of the focused window (GNOME Shell's
/// extension, Dwellmark's KWin script): each report names the focused window
/// (a 64-bit id, 0 for none) each time the focus or its title changes, and
/// each window that goes. The list learns of a window when it first takes the
/// focus; the 64-bit ids are mapped to the list's own numbers.
class FocusList final {
public:
    /// One report of the focused window (GNOME's FocusChanged or GetFocused).
    struct Focus {
        std::string title;
        std::string wmClass;
        std::string appId;
        long pid = 0;
        std::uint64_t id = 0;
    };

    explicit FocusList(ToplevelList& toplevels) : m_toplevels(toplevels) {}

    void focusChanged(const Focus& focus);
    void windowClosed(std::uint64_t id);

    /// The list's number of a window id, 0 when it is not known.
    WindowHandle numberOf(std::uint64_t id) const;

private:
    ToplevelList& m_toplevels;
    std::unordered_map<std::uint64_t, WindowHandle> m_numbers;
    WindowHandle m_focused = 0;
};

} // namespace dwellmark::platform::wayland
