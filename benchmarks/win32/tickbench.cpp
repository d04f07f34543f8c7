// How often the main window ticks under Wine and what it costs, beside a bare
// window with only the same 1 ms timer. Prints figures; asserts nothing.
//   win32_tick_bench (bare|dwellmark) SECONDS
#include "app/win32/win32program.h"
#include "messagepump.h"
#include "platform/platform.h"
#include "ui/win32/tickdriver.h"

#include <chrono>
#include <commctrl.h>
#include <cstdio>
#include <cstdlib>
#include <cwchar>
#include <memory>
#include <shellapi.h>

namespace {

using dwellmark::testing::pumpMessagesFor;
using dwellmark::ui::win32::TickDriver;

constexpr UINT tickMessage = WM_APP + 1;
std::uint64_t bareTicks = 0;
TickDriver* bareSource = nullptr;

LRESULT CALLBACK bareProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == tickMessage) {
        bareSource->ticked();
        ++bareTicks;
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

double cpuSeconds() {
    FILETIME created;
    FILETIME exited;
    FILETIME kernel;
    FILETIME user;
    GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user);
    const auto value = [](const FILETIME& time) {
        return static_cast<double>((static_cast<std::uint64_t>(time.dwHighDateTime) << 32) | time.dwLowDateTime) / 1e7;
    };
    return value(kernel) + value(user);
}

} // namespace

int main() {
    int argc = 0;
    LPWSTR* argv = CommandLineToArgvW(GetCommandLineW(), &argc);
    if (argc < 3) {
        std::fputs("usage: win32_tick_bench (bare|dwellmark) SECONDS\n", stderr);
        return 2;
    }
    const bool bare = std::wcscmp(argv[1], L"bare") == 0;
    const auto milliseconds = static_cast<DWORD>(std::wcstol(argv[2], nullptr, 10) * 1000);
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_LISTVIEW_CLASSES | ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&controls);

    std::uint64_t ticks = 0;
    double cpu = 0.0;
    if (bare) {
        WNDCLASSW windowClass{};
        windowClass.lpfnWndProc = bareProc;
        windowClass.hInstance = GetModuleHandleW(nullptr);
        windowClass.lpszClassName = L"DwellmarkBareTimer";
        RegisterClassW(&windowClass);
        HWND window = CreateWindowExW(0, windowClass.lpszClassName, L"Bare timer", WS_OVERLAPPEDWINDOW, 0, 0, 200, 100,
                                      nullptr, nullptr, windowClass.hInstance, nullptr);
        ShowWindow(window, SW_SHOW);
        // The same 1 ms ticks, with a desktop that is never asked.
        const auto desktop = dwellmark::platform::openDesktop();
        TickDriver source(*desktop.changes, dwellmark::TickSource::Timer);
        bareSource = &source;
        source.start(window, tickMessage);
        const double cpuStart = cpuSeconds();
        pumpMessagesFor(std::chrono::milliseconds(milliseconds));
        cpu = cpuSeconds() - cpuStart;
        ticks = bareTicks;
        source.stop();
    } else {
        dwellmark::app::Win32Program program(L".", dwellmark::TickSource::Timer);
        dwellmark::ui::win32::MainWindow& form = program.mainWindow();
        form.show();
        const std::uint64_t ticksStart = form.ticksRun();
        const double cpuStart = cpuSeconds();
        pumpMessagesFor(std::chrono::milliseconds(milliseconds));
        cpu = cpuSeconds() - cpuStart;
        ticks = form.ticksRun() - ticksStart;
    }
    const double seconds = milliseconds / 1000.0;
    std::printf("%s ticks_per_second %.0f cpu_share %.4f\n", bare ? "bare" : "dwellmark",
                static_cast<double>(ticks) / seconds, cpu / seconds);
    return 0;
}
