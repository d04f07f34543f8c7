// A second Windows program that a test starts and watches from outside.
#pragma once

#include "win32api/windowsheaders.h"

#include <chrono>
#include <optional>
#include <string>

namespace dwellmark::testing {

/// A program started by the test with one argument (none when empty). It is
/// ended, if it still runs, when the object goes.
class TestProgram final {
public:
    /// showCommand: how its first window is to show, as a shortcut's "Run"
    /// setting asks; none leaves it to the program.
    TestProgram(const std::wstring& path, const std::wstring& argument, std::optional<WORD> showCommand = {});
    ~TestProgram();

    TestProgram(const TestProgram&) = delete;
    TestProgram& operator=(const TestProgram&) = delete;

    /// Its process handle; nullptr when it could not be started.
    HANDLE process() const { return m_process.hProcess; }
    DWORD id() const { return m_process.dwProcessId; }
    bool ended() const;
    /// Its exit status once it has ended, running this thread's messages
    /// meanwhile; none when it still runs at the limit (which only catches a hang).
    std::optional<DWORD> exitStatus(std::chrono::milliseconds limit = std::chrono::seconds(30)) const;

    /// Its visible top-level window of the class and title; nullptr while it has none.
    HWND findWindow(const wchar_t* windowClass, const wchar_t* title) const;
    /// That window once it has one, running this thread's messages meanwhile;
    /// nullptr when none has come within the limit (which only catches a hang).
    HWND waitForWindow(const wchar_t* windowClass, const wchar_t* title,
                       std::chrono::milliseconds limit = std::chrono::seconds(30)) const;

private:
    PROCESS_INFORMATION m_process{};
};

} // namespace dwellmark::testing
