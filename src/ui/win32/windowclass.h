// The window classes of the front end's top-level windows.
#pragma once

#include "win32api/windowsheaders.h"

#include <string>

namespace dwellmark::ui::win32 {

/// Registers a top-level window class of this program once per process: a
/// white background, the program's icon, and DefWindowProcW until the window
/// puts in its own procedure. cursor nullptr: the window sets its pointer
/// itself. Throws std::runtime_error naming window when that fails.
void registerWindowClass(const wchar_t* className, HCURSOR cursor, const std::string& window);

} // namespace dwellmark::ui::win32
