// A second Windows program that a test starts and watches from outside.
#include "testprogram.h"

#include "messagepump.h"

namespace dwellmark::testing {

TestProgram::TestProgram(const std::wstring& path, const std::wstring& argument, std::optional<WORD> showCommand) {
    std::wstring commandLine = L"\"" + path + L"\"" + (argument.empty() ? L"" : L" \"" + argument + L"\"");
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    if (showCommand) {
        startup.dwFlags = STARTF_USESHOWWINDOW;
        startup.wShowWindow = *showCommand;
    }
    if (CreateProcessW(path.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                       &m_process) == FALSE) {
        m_process = PROCESS_INFORMATION{};
    }
}

TestProgram::~TestProgram() {
    if (m_process.hProcess != nullptr) {
        if (!ended()) {
            TerminateProcess(m_process.hProcess, 1);
            // Only a hang limit: a terminated process ends at once.
            WaitForSingleObject(m_process.hProcess, 10000);
        }
        CloseHandle(m_process.hThread);
        CloseHandle(m_process.hProcess);
    }
}

bool TestProgram::ended() const {
    return WaitForSingleObject(m_process.hProcess, 0) == WAIT_OBJECT_0;
}

std::optional<DWORD> TestProgram::exitStatus(std::chrono::milliseconds limit) const {
    DWORD status = 0;
    if (!pumpMessagesUntil([&] { return ended(); }, limit) ||
        GetExitCodeProcess(m_process.hProcess, &status) == FALSE) {
        return std::nullopt;
    }
    return status;
}

HWND TestProgram::findWindow(const wchar_t* windowClass, const wchar_t* title) const {
    HWND window = nullptr;
    while ((window = FindWindowExW(nullptr, window, windowClass, title)) != nullptr) {
        DWORD owner = 0;
        GetWindowThreadProcessId(window, &owner);
        if (owner == m_process.dwProcessId && IsWindowVisible(window) != FALSE) {
            return window;
        }
    }
    return nullptr;
}

HWND TestProgram::waitForWindow(const wchar_t* windowClass, const wchar_t* title,
                                std::chrono::milliseconds limit) const {
    HWND window = nullptr;
    pumpMessagesUntil(
        [&] {
            window = findWindow(windowClass, title);
            return window != nullptr;
        },
        limit);
    return window;
}

} // namespace dwellmark::testing
