#pragma once

#include "windowhandle.h"

#include <string>

namespace dwellmark {

/// What the tracker needs to know about the desktop's windows. Each operating
/// system has one implementation; tests use a fake.
///
/// Every call is made on the user-interface thread. None of them throws for a
/// window that cannot be read: an empty text or 0 is the answer.
class WindowSystem {
public:
    virtual ~WindowSystem() = default;

    /// The window that holds the foreground now, or 0 when none does.
    virtual WindowHandle foregroundWindow() = 0;

    /// Whether the handle names a window that exists now.
    virtual bool isWindow(WindowHandle handle) = 0;

    /// The window's title as UTF-8; empty when it has none or cannot be read.
    virtual std::string getWindowTitle(WindowHandle handle) = 0;

    /// The base name of the executable of the process that owns the window, as
    /// UTF-8; empty when it cannot be read.
    virtual std::string getProcessName(WindowHandle handle) = 0;
};

} // namespace dwellmark
