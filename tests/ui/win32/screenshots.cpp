// Takes the README's pictures of the Windows program under Wine: the main
// window with real rows (windows of a second program brought to the
// foreground in turn) and the chart window. Writes BMP files. (No CJK title:
// the test machines have no CJK font, and Wine would draw empty boxes.)
//   win32_screenshots FOLDER
#include "app/win32/program.h"
#include "ui/win32/chartwindow.h"
#include "ui/win32/mainwindow.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <shellapi.h>
#include <string>
#include <vector>

namespace {

std::wstring folder;
dwellmark::ui::win32::MainWindow* mainForm = nullptr;

void pump(DWORD milliseconds) {
    const ULONGLONG end = GetTickCount64() + milliseconds;
    while (GetTickCount64() < end) {
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
        Sleep(5);
    }
}

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

void CALLBACK whileChartIsOpen(HWND, UINT, UINT_PTR timer, DWORD) {
    dwellmark::ui::win32::ChartWindow* chart = mainForm->openChart();
    if (chart == nullptr || IsWindowVisible(chart->handle()) == FALSE) {
        return;
    }
    KillTimer(nullptr, timer);
    pump(500);
    saveWindow(chart->handle(), folder + L"\\win32-chart-window.bmp");
    PostMessageW(chart->handle(), WM_CLOSE, 0, 0);
}

} // namespace

int main() {
    int argc = 0;
    LPWSTR* argv = CommandLineToArgvW(GetCommandLineW(), &argc);
    if (argc < 3) {
        std::fputs("usage: win32_screenshots FOLDER FOREIGN-WINDOW-EXE\n", stderr);
        return 2;
    }
    folder = argv[1];
    const std::wstring foreignExe = argv[2];

    const std::vector<std::wstring> titles{L"Quarterly report.odt - Writer", L"Inbox - Mail", L"Привет - Chat",
                                           L"build.log - Editor", L"Café menu - Browser"};
    std::vector<PROCESS_INFORMATION> programs;
    std::vector<HWND> windows;
    for (const std::wstring& title : titles) {
        std::wstring commandLine = L"\"" + foreignExe + L"\" \"" + title + L"\"";
        STARTUPINFOW startup{};
        startup.cb = sizeof startup;
        PROCESS_INFORMATION process{};
        CreateProcessW(foreignExe.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                       &process);
        programs.push_back(process);
        HWND window = nullptr;
        for (int i = 0; i < 500 && window == nullptr; ++i) {
            window = FindWindowW(L"DwellmarkForeignWindow", title.c_str());
            Sleep(10);
        }
        windows.push_back(window);
    }

    dwellmark::app::Program program(L".");
    dwellmark::ui::win32::MainWindow& form = program.mainWindow();
    mainForm = &form;
    form.show();
    pump(500);
    ShowWindow(form.handle(), SW_MINIMIZE);
    const DWORD pauses[] = {2300, 1200, 3100, 1700, 2600, 1100, 1500};
    for (std::size_t i = 0; i < 7; ++i) {
        SetForegroundWindow(windows[i % windows.size()]);
        pump(pauses[i]);
    }
    ShowWindow(form.handle(), SW_RESTORE);
    SetForegroundWindow(form.handle());
    pump(1000);
    saveWindow(form.handle(), folder + L"\\win32-main-window.bmp");

    SetTimer(nullptr, 0, 50, whileChartIsOpen);
    SendMessageW(form.displayChartBox(), BM_CLICK, 0, 0);

    for (PROCESS_INFORMATION& process : programs) {
        TerminateProcess(process.hProcess, 0);
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
    }
    return 0;
}
