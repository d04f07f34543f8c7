// The one way a failure that no event procedure catches ends the program.
#pragma once

#include "win32api/windowsheaders.h"

#include <exception>
#include <string>

namespace dwellmark::ui::win32 {

/// Shows one message box naming the failure and ends the process with status 1.
[[noreturn]] void failAndExit(const std::string& what);

/// Whether the program is ending after a failure: from then on no event
/// procedure runs (the message box's loop still delivers ticks and clicks).
bool failing();

/// Runs a window procedure's work; a failure that escapes it must not cross
/// the system's frames, so it ends the program here.
template <typename Work>
LRESULT guarded(Work&& work) noexcept {
    if (failing()) {
        return 0;
    }
    try {
        return work();
    } catch (const std::exception& failure) {
        failAndExit(failure.what());
    } catch (...) {
        failAndExit("an unknown failure");
    }
}

} // namespace dwellmark::ui::win32
