// What the window probe asks Windows: a window's title and the base name of its program, through a table of system
// calls that tests can stand in for.
#pragma once

#include "tracking/windowhandle.h"
#include "win32api/windowsheaders.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace dwellmark::platform::win32 {

/// The system calls the window probe makes. The probe always goes through such a
/// table so that tests can stand in for the system; systemProbeApi() is the real one.
struct ProbeApi {
    int(WINAPI* getWindowTextLength)(HWND window);
    int(WINAPI* getWindowText)(HWND window, LPWSTR buffer, int capacity);
    DWORD(WINAPI* getWindowThreadProcessId)(HWND window, LPDWORD processId);
    HANDLE(WINAPI* openProcess)(DWORD access, BOOL inherit, DWORD processId);
    BOOL(WINAPI* enumProcessModules)(HANDLE process, HMODULE* modules, DWORD bytes, LPDWORD bytesNeeded);
    DWORD(WINAPI* getModuleBaseName)(HANDLE process, HMODULE module, LPWSTR buffer, DWORD capacity);
    BOOL(WINAPI* closeHandle)(HANDLE handle);
    BOOL(WINAPI* queryFullProcessImageName)(HANDLE process, DWORD flags, LPWSTR buffer, PDWORD capacity);
    HWND(WINAPI* findWindowEx)(HWND parent, HWND childAfter, LPCWSTR className, LPCWSTR title);
};

/// The table of the real user32, kernel32 and PSAPI functions.
const ProbeApi& systemProbeApi();

/// Rights needed to list a process's modules and read their names:
/// PROCESS_QUERY_INFORMATION | PROCESS_VM_READ.
inline constexpr DWORD probeProcessAccess = 0x410;

/// The rights Windows grants across integrity levels and users, enough for
/// the image path: PROCESS_QUERY_LIMITED_INFORMATION.
inline constexpr DWORD probeLimitedAccess = 0x1000;

/// Capacity, in UTF-16 units, with the terminating NUL, of the image path buffer.
inline constexpr DWORD imagePathCapacity = 32768;

/// The process that draws the frames of Store apps; their windows are its own.
inline constexpr std::wstring_view frameHostName = L"ApplicationFrameHost.exe";

/// Capacity, in UTF-16 units with the terminating NUL, of the module name buffer.
inline constexpr DWORD moduleNameCapacity = 260;

/// Window handles are 32-bit significant even on 64-bit Windows, so the tracker
/// keeps only the low 32 bits; the way back sign-extends them as Windows does.
inline WindowHandle toWindowHandle(HWND window) {
    return static_cast<WindowHandle>(reinterpret_cast<std::intptr_t>(window));
}
inline HWND toHwnd(WindowHandle handle) {
    return reinterpret_cast<HWND>(static_cast<std::intptr_t>(handle));
}

/// The part of the text before its first NUL; the whole text when it holds none.
std::wstring trimNull(std::wstring_view text);

/// UTF-16 as UTF-8. A lone surrogate becomes U+FFFD, the same way every time.
std::string toUtf8(std::wstring_view text);

/// The window's title as UTF-8; empty when it has none or cannot be read.
std::string getWindowTitle(WindowHandle handle, const ProbeApi& api = systemProbeApi());

/// The base name of the executable of the process that owns the window, as
/// UTF-8: from its image path when the process opens with the limited rights
/// (as it does when elevated or another user's), else from its first module.
/// A Store app's frame is named by the process of a child window that is not
/// the frame host's own. Empty when the window names no process, or the process
/// cannot be opened or read either way.
std::string getProcessName(WindowHandle handle, const ProbeApi& api = systemProbeApi());

/// Whether the name, as getProcessName() answers it, is the frame host's: the
/// frame of a Store app that the app has not joined yet.
bool namesFrameHost(std::string_view application);

} // namespace dwellmark::platform::win32
