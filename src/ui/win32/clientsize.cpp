// Sizing a top-level window by its client area.
#include "ui/win32/clientsize.h"

namespace dwellmark::ui::win32 {

void setClientSize(HWND window, int width, int height) {
    const auto style = static_cast<DWORD>(GetWindowLongPtrW(window, GWL_STYLE));
    const auto exStyle = static_cast<DWORD>(GetWindowLongPtrW(window, GWL_EXSTYLE));
    RECT outer{0, 0, width, height};
    AdjustWindowRectExForDpi(&outer, style, FALSE, exStyle, GetDpiForWindow(window));
    SetWindowPos(window, nullptr, 0, 0, outer.right - outer.left, outer.bottom - outer.top,
                 SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOMOVE);
    // The frame the system really draws may differ from the one computed for
    // the DPI (Wine draws it at the system's); the client area must come out right.
    RECT client;
    GetClientRect(window, &client);
    if (client.right != width || client.bottom != height) {
        RECT now;
        GetWindowRect(window, &now);
        SetWindowPos(window, nullptr, 0, 0, now.right - now.left + width - client.right,
                     now.bottom - now.top + height - client.bottom, SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOMOVE);
    }
}

} // namespace dwellmark::ui::win32
