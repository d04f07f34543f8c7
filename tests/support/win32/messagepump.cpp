// Running the Win32 messages of a test's thread while the test waits for a state or for a while.
#include "messagepump.h"

#include "win32api/windowsheaders.h"

#include <thread>

namespace dwellmark::testing {

bool pumpMessagesUntil(const std::function<bool()>& condition, std::chrono::milliseconds limit) {
    const auto deadline = std::chrono::steady_clock::now() + limit;
    while (!condition()) {
        if (std::chrono::steady_clock::now() > deadline) {
            return false;
        }
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    return true;
}

void pumpMessagesFor(std::chrono::milliseconds time) {
    const ULONGLONG end = GetTickCount64() + static_cast<ULONGLONG>(time.count());
    for (ULONGLONG now = GetTickCount64(); now < end; now = GetTickCount64()) {
        MsgWaitForMultipleObjects(0, nullptr, FALSE, static_cast<DWORD>(end - now), QS_ALLINPUT);
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
    }
}

bool bringToForeground(HWND window, std::chrono::milliseconds limit) {
    return pumpMessagesUntil(
        [&] {
            if (GetForegroundWindow() != window) {
                SetForegroundWindow(window);
            }
            return GetForegroundWindow() == window;
        },
        limit);
}

} // namespace dwellmark::testing
