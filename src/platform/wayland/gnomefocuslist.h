// What GNOME Shell's Dwellmark extension reports, turned into the window list.
#pragma once

#include "toplevellist.h"

#include <cstdint>
#include <string>
#include <unordered_map>

namespace dwellmark::platform::wayland {

/// The extension names the focused window (GNOME's 64-bit id, 0 for none)
/// each time the focus or its title changes, and each window that goes. The
/// list learns of a window when it first takes the focus; the 64-bit ids are
/// mapped to the list's own numbers.
class GnomeFocusList final {
public:
    /// One FocusChanged report (or the answer to GetFocused).
    struct Focus {
        std::string title;
        std::string wmClass;
        std::string appId;
        long pid = 0;
        std::uint64_t id = 0;
    };

    explicit GnomeFocusList(ToplevelList& toplevels) : m_toplevels(toplevels) {}

    void focusChanged(const Focus& focus);
    void windowClosed(std::uint64_t id);

    /// The list's number of a GNOME window id, 0 when it is not known.
    WindowHandle numberOf(std::uint64_t id) const;

private:
    ToplevelList& m_toplevels;
    std::unordered_map<std::uint64_t, WindowHandle> m_numbers;
    WindowHandle m_focused = 0;
};

} // namespace dwellmark::platform::wayland
