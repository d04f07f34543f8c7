// The window classes of the front end's top-level windows.
#include "ui/win32/windowclass.h"

#include <stdexcept>

namespace dwellmark::ui::win32 {

void registerWindowClass(const wchar_t* className, HCURSOR cursor, const std::string& window) {
    const HINSTANCE instance = GetModuleHandleW(nullptr);
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    if (GetClassInfoExW(instance, className, &windowClass) != FALSE) {
        return;
    }
    windowClass.lpfnWndProc = DefWindowProcW;
    windowClass.hInstance = instance;
    windowClass.hCursor = cursor;
    windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
    windowClass.hIcon = LoadIconW(instance, MAKEINTRESOURCEW(1));
    windowClass.lpszClassName = className;
    if (RegisterClassExW(&windowClass) == 0) {
        throw std::runtime_error(window + " could not be registered");
    }
}

} // namespace dwellmark::ui::win32
