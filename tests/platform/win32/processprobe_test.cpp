// The window probe against a stand-in for the system, for the paths a real
// desktop cannot be made to take: processes that refuse to open, module lists
// that cannot be read, titles that change between two calls.
#include "platform/win32/processprobe.h"

#include <algorithm>
#include <cstdint>
#include <gtest/gtest.h>
#include <optional>
#include <string>
#include <vector>

namespace dwellmark::platform::win32 {
namespace {

/// What the stand-in system answers, and what the probe asked of it.
struct FakeSystem {
    // Answers.
    int reportedTitleLength = 0;
    std::wstring title;
    std::optional<DWORD> processId;
    HANDLE process = nullptr;
    std::optional<HMODULE> firstModule;
    std::wstring moduleName;

    // Requests.
    std::vector<int> titleCapacities;
    std::vector<DWORD> openedProcessIds;
    std::vector<DWORD> openAccessMasks;
    std::vector<BOOL> openInheritFlags;
    std::vector<DWORD> moduleListBytes;
    std::vector<DWORD> moduleNameCapacities;
    std::vector<HANDLE> closedHandles;
};

FakeSystem* fake = nullptr;

int WINAPI fakeGetWindowTextLength(HWND) {
    return fake->reportedTitleLength;
}

// Copies as much of the title as fits before the NUL, as GetWindowTextW does.
int WINAPI fakeGetWindowText(HWND, LPWSTR buffer, int capacity) {
    fake->titleCapacities.push_back(capacity);
    if (capacity <= 0) {
        return 0;
    }
    const auto copied = std::min(fake->title.size(), static_cast<std::size_t>(capacity - 1));
    std::copy_n(fake->title.begin(), copied, buffer);
    buffer[copied] = L'\0';
    return static_cast<int>(copied);
}

DWORD WINAPI fakeGetWindowThreadProcessId(HWND, LPDWORD processId) {
    if (fake->processId) {
        *processId = *fake->processId;
    }
    return 1;
}

HANDLE WINAPI fakeOpenProcess(DWORD access, BOOL inherit, DWORD processId) {
    fake->openAccessMasks.push_back(access);
    fake->openInheritFlags.push_back(inherit);
    fake->openedProcessIds.push_back(processId);
    return fake->process;
}

BOOL WINAPI fakeEnumProcessModules(HANDLE, HMODULE* modules, DWORD bytes, LPDWORD bytesNeeded) {
    fake->moduleListBytes.push_back(bytes);
    if (!fake->firstModule) {
        return FALSE;
    }
    if (bytes >= sizeof(HMODULE)) {
        *modules = *fake->firstModule;
    }
    *bytesNeeded = static_cast<DWORD>(3 * sizeof(HMODULE));
    return TRUE;
}

DWORD WINAPI fakeGetModuleBaseName(HANDLE, HMODULE, LPWSTR buffer, DWORD capacity) {
    fake->moduleNameCapacities.push_back(capacity);
    const auto copied = std::min<std::size_t>(fake->moduleName.size(), capacity - 1);
    std::copy_n(fake->moduleName.begin(), copied, buffer);
    buffer[copied] = L'\0';
    return static_cast<DWORD>(copied);
}

BOOL WINAPI fakeCloseHandle(HANDLE handle) {
    fake->closedHandles.push_back(handle);
    return TRUE;
}

constexpr ProbeApi fakeApi{
    fakeGetWindowTextLength, fakeGetWindowText, fakeGetWindowThreadProcessId, fakeOpenProcess, fakeEnumProcessModules,
    fakeGetModuleBaseName,   fakeCloseHandle,
};

const HANDLE someProcess = reinterpret_cast<HANDLE>(std::intptr_t{0x1234});
const HMODULE someModule = reinterpret_cast<HMODULE>(std::intptr_t{0x140000000});

class ProbeTest : public ::testing::Test {
protected:
    void SetUp() override { fake = &m_system; }
    void TearDown() override { fake = nullptr; }

    FakeSystem& system() { return m_system; }

    /// A window of an ordinary process whose modules can be listed.
    void giveOrdinaryProcess(std::wstring moduleName) {
        m_system.processId = 4242;
        m_system.process = someProcess;
        m_system.firstModule = someModule;
        m_system.moduleName = std::move(moduleName);
    }

private:
    FakeSystem m_system;
};

TEST(TrimNull, KeepsWhatComesBeforeTheFirstNul) {
    using namespace std::string_view_literals;
    EXPECT_EQ(trimNull(L"notepad.exe"sv), L"notepad.exe");
    EXPECT_EQ(trimNull(L""sv), L"");
    EXPECT_EQ(trimNull(L"\0abc"sv), L"");
    EXPECT_EQ(trimNull(L"abc\0def\0"sv), L"abc");
    EXPECT_EQ(trimNull(std::wstring(260, L'\0')), L"");
}

TEST(ToUtf8, ConvertsEveryPlaneAndReplacesLoneSurrogates) {
    EXPECT_EQ(toUtf8(L""), "");
    EXPECT_EQ(toUtf8(L"\u00dcberblick \u2013 \u6982\u8981 \U0001F4CA"),
              "\xc3\x9c"
              "berblick \xe2\x80\x93 \xe6\xa6\x82\xe8\xa6\x81 \xf0\x9f\x93\x8a");
    // Half of a pair, as a title cut in the middle of an emoji leaves it.
    EXPECT_EQ(toUtf8(std::wstring(L"a\xd83d")), "a\xef\xbf\xbd");
}

TEST(WindowHandle, KeepsTheLow32BitsAndSignExtendsOnTheWayBack) {
    EXPECT_EQ(reinterpret_cast<std::intptr_t>(toHwnd(-2)), -2);
    EXPECT_EQ(reinterpret_cast<std::intptr_t>(toHwnd(0x7fff1234)), 0x7fff1234);
    EXPECT_EQ(toWindowHandle(toHwnd(-123456)), -123456);
    EXPECT_EQ(toWindowHandle(nullptr), 0);
}

TEST_F(ProbeTest, TitleIsReadWithRoomForItsNul) {
    system().reportedTitleLength = 5;
    system().title = L"Inbox";
    EXPECT_EQ(getWindowTitle(7, fakeApi), "Inbox");
    EXPECT_EQ(system().titleCapacities, std::vector<int>{6});
}

TEST_F(ProbeTest, EmptyTitleAsksForRoomForTheNulAlone) {
    system().reportedTitleLength = 0;
    EXPECT_EQ(getWindowTitle(7, fakeApi), "");
    EXPECT_EQ(system().titleCapacities, std::vector<int>{1});
}

TEST_F(ProbeTest, TitleThatChangedBetweenTheTwoCallsIsCut) {
    // Shrank: the text ends at the NUL written after it.
    system().reportedTitleLength = 12;
    system().title = L"Draft";
    EXPECT_EQ(getWindowTitle(7, fakeApi), "Draft");

    // Grew: only as many units as the length read first.
    system().reportedTitleLength = 5;
    system().title = L"Draft (2)";
    EXPECT_EQ(getWindowTitle(7, fakeApi), "Draft");
}

TEST_F(ProbeTest, TitleLengthIsCountedInUtf16Units) {
    // "概要 📊": four characters, five UTF-16 units (the emoji takes two).
    system().title = L"\u6982\u8981 \U0001F4CA";
    system().reportedTitleLength = static_cast<int>(system().title.size());
    EXPECT_EQ(getWindowTitle(7, fakeApi), "\xe6\xa6\x82\xe8\xa6\x81 \xf0\x9f\x93\x8a");
    EXPECT_EQ(system().titleCapacities, std::vector<int>{6});
}

TEST_F(ProbeTest, ProcessNameIsTheBaseNameOfTheFirstModule) {
    giveOrdinaryProcess(L"\u00dcbersicht.exe");
    EXPECT_EQ(getProcessName(7, fakeApi), "\xc3\x9c"
                                          "bersicht.exe");

    EXPECT_EQ(system().openedProcessIds, std::vector<DWORD>{4242});
    EXPECT_EQ(system().openAccessMasks, std::vector<DWORD>{0x410});
    EXPECT_EQ(system().openInheritFlags, std::vector<BOOL>{FALSE});
    // Room for exactly one module handle, whatever its size on this build.
    EXPECT_EQ(system().moduleListBytes, std::vector<DWORD>{sizeof(HMODULE)});
    EXPECT_EQ(system().moduleNameCapacities, std::vector<DWORD>{260});
    EXPECT_EQ(system().closedHandles, std::vector<HANDLE>{someProcess});
}

TEST_F(ProbeTest, ProcessThatCannotBeOpenedHasNoNameAndNothingIsClosed) {
    giveOrdinaryProcess(L"service.exe");
    system().process = nullptr;
    EXPECT_EQ(getProcessName(7, fakeApi), "");
    EXPECT_TRUE(system().moduleListBytes.empty());
    EXPECT_TRUE(system().closedHandles.empty());
}

TEST_F(ProbeTest, WindowWithoutAProcessOpensNothing) {
    // A handle that names no window: the identifier is never filled in.
    EXPECT_EQ(getProcessName(7, fakeApi), "");
    // Or it is filled in with 0. Process 0 would be opened if asked, and named.
    giveOrdinaryProcess(L"idle.exe");
    system().processId = 0;
    EXPECT_EQ(getProcessName(7, fakeApi), "");
    EXPECT_TRUE(system().openedProcessIds.empty());
    EXPECT_TRUE(system().closedHandles.empty());
}

TEST_F(ProbeTest, ProcessWhoseModulesCannotBeListedHasNoNameButIsClosed) {
    giveOrdinaryProcess(L"game.exe");
    system().firstModule.reset();
    EXPECT_EQ(getProcessName(7, fakeApi), "");
    EXPECT_TRUE(system().moduleNameCapacities.empty());
    EXPECT_EQ(system().closedHandles, std::vector<HANDLE>{someProcess});
}

TEST_F(ProbeTest, ModuleWithoutANameGivesAnEmptyName) {
    giveOrdinaryProcess(L"");
    EXPECT_EQ(getProcessName(7, fakeApi), "");
    EXPECT_EQ(system().closedHandles, std::vector<HANDLE>{someProcess});
}

} // namespace
} // namespace dwellmark::platform::win32
