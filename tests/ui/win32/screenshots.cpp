// Takes the README's pictures of dwellmark.exe under Wine, driven from outside
// as a user would drive it: the main window with real rows (windows of a second
// program brought to the foreground in turn) and the chart window, after a day's
// worth of further titles (windows of this program's own), with more titles than
// its legend has room for and the pointer resting on a bar. Writes BMP files;
// tests/ui/win32/take-screenshots runs it and makes the PNGs. (No CJK title: the
// test machines have no CJK font, and Wine would draw empty boxes.)
//   win32_screenshots FOLDER DWELLMARK-EXE FOREIGN-WINDOW-EXE
#include "messagepump.h"
#include "testprogram.h"
#include "win32api/windowsheaders.h"

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <shellapi.h>
#include <string>
#include <vector>

namespace {

using namespace std::chrono_literals;
using dwellmark::testing::pumpMessagesFor;
using dwellmark::testing::TestProgram;

// The window as it is on the screen, frame included.
bool saveWindow(HWND window, const std::wstring& path) {
    RECT rect;
    GetWindowRect(window, &rect);
    const int width = rect.right - rect.left;
    const int height = rect.bottom - rect.top;
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, width, height, screen, rect.left, rect.top, SRCCOPY);
    GdiFlush();
    const DWORD stride = ((static_cast<DWORD>(width) * 3 + 3) / 4) * 4;
    const DWORD size = stride * static_cast<DWORD>(height);
    BITMAPFILEHEADER header{};
    header.bfType = 0x4D42;
    header.bfOffBits = sizeof header + sizeof info.bmiHeader;
    header.bfSize = header.bfOffBits + size;
    std::ofstream file(std::filesystem::path(path), std::ios::binary);
    file.write(reinterpret_cast<const char*>(&header), sizeof header);
    file.write(reinterpret_cast<const char*>(&info.bmiHeader), sizeof info.bmiHeader);
    file.write(static_cast<const char*>(bits), size);
    SelectObject(memory, old);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    return static_cast<bool>(file);
}

// Windows of this program's own, one for each title; they need no behaviour.
std::vector<HWND> makeWindows(const std::vector<std::wstring>& titles) {
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = DefWindowProcW;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.lpszClassName = L"DwellmarkScreenshotWindow";
    RegisterClassW(&windowClass);
    std::vector<HWND> windows;
    for (const std::wstring& title : titles) {
        windows.push_back(CreateWindowExW(0, windowClass.lpszClassName, title.c_str(), WS_OVERLAPPEDWINDOW | WS_VISIBLE,
                                          60, 60, 320, 200, nullptr, nullptr, windowClass.hInstance, nullptr));
    }
    return windows;
}

} // namespace

int main() {
    int argc = 0;
    LPWSTR* argv = CommandLineToArgvW(GetCommandLineW(), &argc);
    if (argc < 4) {
        std::fputs("usage: win32_screenshots FOLDER DWELLMARK-EXE FOREIGN-WINDOW-EXE\n", stderr);
        return 2;
    }
    const std::wstring folder = argv[1];
    const std::wstring dwellmarkExe = argv[2];
    const std::wstring foreignExe = argv[3];

    const std::vector<std::wstring> titles{L"Quarterly report.odt - Writer", L"Inbox - Mail", L"Привет - Chat",
                                           L"build.log - Editor", L"Café menu - Browser"};
    // Ended when main returns.
    std::vector<std::unique_ptr<TestProgram>> programs;
    std::vector<HWND> windows;
    for (const std::wstring& title : titles) {
        programs.push_back(std::make_unique<TestProgram>(foreignExe, title));
        windows.push_back(programs.back()->waitForWindow(L"DwellmarkForeignWindow", title.c_str()));
    }

    const TestProgram dwellmark(dwellmarkExe, L"");
    const HWND form = dwellmark.waitForWindow(L"DwellmarkMain", L"Dwellmark");
    if (form == nullptr) {
        std::fputs("win32_screenshots: dwellmark.exe showed no window\n", stderr);
        return 1;
    }
    pumpMessagesFor(500ms);
    ShowWindow(form, SW_MINIMIZE);
    const DWORD pauses[] = {2300, 1200, 3100, 1700, 2600, 1100, 1500};
    for (std::size_t i = 0; i < 7; ++i) {
        SetForegroundWindow(windows[i % windows.size()]);
        pumpMessagesFor(std::chrono::milliseconds(pauses[i]));
    }
    ShowWindow(form, SW_RESTORE);
    SetForegroundWindow(form);
    pumpMessagesFor(1000ms);
    saveWindow(form, folder + L"\\win32-main-window.bmp");

    // More titles than the chart's legend holds, each in front for a while.
    std::vector<std::wstring> moreTitles;
    const wchar_t* documents[] = {
        L"Budget 2025.ods", L"Minutes of Monday.odt", L"Release notes.md", L"Invoice 0413.pdf",
        L"Team photo.jpg",  L"Timetable.ods",         L"Draft letter.odt", L"Slides.odp"};
    const wchar_t* apps[] = {L"Office", L"Editor", L"Viewer", L"Browser", L"Mail"};
    for (std::size_t i = 0; i < 36; ++i) {
        moreTitles.push_back(std::wstring(documents[i % 8]) + L" - " + apps[(i / 8 + i) % 5]);
    }
    const std::vector<HWND> moreWindows = makeWindows(moreTitles);
    ShowWindow(form, SW_MINIMIZE);
    for (std::size_t i = 0; i < moreWindows.size(); ++i) {
        SetForegroundWindow(moreWindows[i]);
        pumpMessagesFor(std::chrono::milliseconds(static_cast<DWORD>(400 + (i * 530) % 1700)));
    }
    SetForegroundWindow(windows[0]);
    pumpMessagesFor(300ms);
    ShowWindow(form, SW_RESTORE);
    SetForegroundWindow(form);
    pumpMessagesFor(500ms);

    // Posted: the chart opens once the click has returned.
    PostMessageW(FindWindowExW(form, nullptr, L"Button", L"Display Chart"), BM_CLICK, 0, 0);
    const HWND chart = dwellmark.waitForWindow(nullptr, L"Chart");
    if (chart != nullptr) {
        pumpMessagesFor(500ms);
        // The pointer on the second bar, low down, for its tip.
        RECT client;
        GetClientRect(chart, &client);
        POINT at{client.right * 23 / 100, client.bottom * 85 / 100};
        ClientToScreen(chart, &at);
        SetCursorPos(at.x, at.y);
        pumpMessagesFor(1000ms);
        saveWindow(chart, folder + L"\\win32-chart-window.bmp");
        PostMessageW(chart, WM_CLOSE, 0, 0);
    }
    for (const HWND window : moreWindows) {
        DestroyWindow(window);
    }
    pumpMessagesFor(500ms);
    PostMessageW(form, WM_CLOSE, 0, 0);
    WaitForSingleObject(dwellmark.process(), 10000);
    return chart != nullptr ? 0 : 1;
}
