// Running the Win32 messages of a test's thread while the test waits for a state or for a while.
#pragma once

#include "win32api/windowsheaders.h"

#include <chrono>
#include <functional>

namespace dwellmark::testing {

/// Runs this thread's messages until the condition holds (true) or the limit
/// has passed (false). The default limit only catches a hang, also under Wine
/// on a loaded machine.
bool pumpMessagesUntil(const std::function<bool()>& condition,
                       std::chrono::milliseconds limit = std::chrono::seconds(30));

/// Runs this thread's messages for that long, waking only for them.
void pumpMessagesFor(std::chrono::milliseconds time);

/// Brings the window to the foreground, asking again while it is not there
/// (the window manager may hand the foreground on meanwhile), and runs this
/// thread's messages until it is; whether it got there within the limit.
bool bringToForeground(HWND window, std::chrono::milliseconds limit = std::chrono::seconds(30));

} // namespace dwellmark::testing
