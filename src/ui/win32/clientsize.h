// Sizing a top-level window by its client area.
#pragma once

#include "win32api/windowsheaders.h"

namespace dwellmark::ui::win32 {

/// Gives the window the client area width x height (pixels at its DPI),
/// whatever frame the system draws round it; the top-left corner stays.
void setClientSize(HWND window, int width, int height);

} // namespace dwellmark::ui::win32
