// The Wayland window list as the tracker sees it, for tests of the events without a compositor.
#pragma once

#include "platform/wayland/toplevellist.h"
#include "tracking/windowsystem.h"

#include <string>

namespace dwellmark::testing {

/// Answers from the list as the backends do: the app id for the process name.
class ListWindowSystem final : public WindowSystem {
public:
    explicit ListWindowSystem(const platform::wayland::ToplevelList& list) : m_list(list) {}

    WindowHandle foregroundWindow() override { return m_list.foreground(); }
    bool isWindow(WindowHandle handle) override { return m_list.exists(handle); }
    std::string getWindowTitle(WindowHandle handle) override {
        const auto* toplevel = m_list.find(handle);
        return toplevel != nullptr ? toplevel->title : std::string();
    }
    std::string getProcessName(WindowHandle handle) override {
        const auto* toplevel = m_list.find(handle);
        return toplevel != nullptr ? toplevel->appId : std::string();
    }

private:
    const platform::wayland::ToplevelList& m_list;
};

} // namespace dwellmark::testing
