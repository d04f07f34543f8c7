// The window probe against a stand-in for the system, for the paths a real
// desktop cannot be made to take: processes that refuse to open, module lists
// that cannot be read, titles that change between two calls.
#include "platform/win32/processname.h"

#include <algorithm>
#include <cstdint>
#include <gtest/gtest.h>
#include <map>
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
    // Processes that open with the limited rights, with their image paths (none:
    // the path cannot be read); windows of other processes than processId's, and
    // the children of the window asked about.
    std::map<DWORD, std::optional<std::wstring>> imagePaths;
    std::map<HWND, DWORD> windowProcesses;
    std::vector<HWND> children;

    // Requests.
    std::vector<int> titleCapacities;
    std::vector<DWORD> openedProcessIds;
    std::vector<DWORD> openAccessMasks;
    std::vector<BOOL> openInheritFlags;
    std::vector<DWORD> moduleListBytes;
    std::vector<DWORD> moduleNameCapacities;
    std::vector<HANDLE> closedHandles;
    std::vector<DWORD> limitedOpenedProcessIds;
};

FakeSystem* fake = nullptr;

/// Copies as much of the text as fits before a NUL (capacity at least 1), as
/// the system's calls do; the units copied.
std::size_t copyOut(const std::wstring& text, LPWSTR buffer, std::size_t capacity) {
    const auto copied = std::min(text.size(), capacity - 1);
    std::copy_n(text.begin(), copied, buffer);
    buffer[copied] = L'\0';
    return copied;
}

int WINAPI fakeGetWindowTextLength(HWND) {
    return fake->reportedTitleLength;
}

int WINAPI fakeGetWindowText(HWND, LPWSTR buffer, int capacity) {
    fake->titleCapacities.push_back(capacity);
    return capacity <= 0 ? 0 : static_cast<int>(copyOut(fake->title, buffer, static_cast<std::size_t>(capacity)));
}

/// The handle of a process opened with the limited rights, and the way back.
HANDLE limitedHandle(DWORD processId) {
    return reinterpret_cast<HANDLE>(std::intptr_t{0x10000} + processId);
}
DWORD limitedProcessId(HANDLE process) {
    return static_cast<DWORD>(reinterpret_cast<std::intptr_t>(process) - 0x10000);
}

DWORD WINAPI fakeGetWindowThreadProcessId(HWND window, LPDWORD processId) {
    if (const auto found = fake->windowProcesses.find(window); found != fake->windowProcesses.end()) {
        *processId = found->second;
    } else if (fake->processId) {
        *processId = *fake->processId;
    }
    return 1;
}

HANDLE WINAPI fakeOpenProcess(DWORD access, BOOL inherit, DWORD processId) {
    if (access == PROCESS_QUERY_LIMITED_INFORMATION) {
        fake->limitedOpenedProcessIds.push_back(processId);
        return fake->imagePaths.count(processId) != 0 ? limitedHandle(processId) : nullptr;
    }
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
    return static_cast<DWORD>(copyOut(fake->moduleName, buffer, capacity));
}

BOOL WINAPI fakeCloseHandle(HANDLE handle) {
    fake->closedHandles.push_back(handle);
    return TRUE;
}

// Fails as the system does when the path does not fit with its NUL.
BOOL WINAPI fakeQueryFullProcessImageName(HANDLE process, DWORD flags, LPWSTR buffer, PDWORD capacity) {
    const auto& path = fake->imagePaths.at(limitedProcessId(process));
    if (flags != 0 || !path || path->size() >= *capacity) {
        return FALSE;
    }
    *capacity = static_cast<DWORD>(copyOut(*path, buffer, *capacity));
    return TRUE;
}

HWND WINAPI fakeFindWindowEx(HWND, HWND childAfter, LPCWSTR, LPCWSTR) {
    auto next = fake->children.begin();
    if (childAfter != nullptr) {
        next = std::find(fake->children.begin(), fake->children.end(), childAfter) + 1;
    }
    return next == fake->children.end() ? nullptr : *next;
}

constexpr ProbeApi fakeApi{
    fakeGetWindowTextLength, fakeGetWindowText, fakeGetWindowThreadProcessId,  fakeOpenProcess,  fakeEnumProcessModules,
    fakeGetModuleBaseName,   fakeCloseHandle,   fakeQueryFullProcessImageName, fakeFindWindowEx,
};

const HANDLE someProcess = reinterpret_cast<HANDLE>(std::intptr_t{0x1234});
const HMODULE someModule = reinterpret_cast<HMODULE>(std::intptr_t{0x140000000});

class ProbeTest : public ::testing::Test {
protected:
    void SetUp() override { fake = &m_system; }
    void TearDown() override { fake = nullptr; }

    /// A window of an ordinary process whose modules can be listed.
    void giveOrdinaryProcess(std::wstring moduleName) {
        m_system.processId = 4242;
        m_system.process = someProcess;
        m_system.firstModule = someModule;
        m_system.moduleName = std::move(moduleName);
    }

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
    m_system.reportedTitleLength = 5;
    m_system.title = L"Inbox";
    EXPECT_EQ(getWindowTitle(7, fakeApi), "Inbox");
    EXPECT_EQ(m_system.titleCapacities, std::vector<int>{6});
}

TEST_F(ProbeTest, EmptyTitleAsksForRoomForTheNulAlone) {
    m_system.reportedTitleLength = 0;
    EXPECT_EQ(getWindowTitle(7, fakeApi), "");
    EXPECT_EQ(m_system.titleCapacities, std::vector<int>{1});
}

TEST_F(ProbeTest, TitleThatChangedBetweenTheTwoCallsIsCut) {
    // Shrank: the text ends at the NUL written after it.
    m_system.reportedTitleLength = 12;
    m_system.title = L"Draft";
    EXPECT_EQ(getWindowTitle(7, fakeApi), "Draft");

    // Grew: only as many units as the length read first.
    m_system.reportedTitleLength = 5;
    m_system.title = L"Draft (2)";
    EXPECT_EQ(getWindowTitle(7, fakeApi), "Draft");
}

TEST_F(ProbeTest, TitleLengthIsCountedInUtf16Units) {
    // "概要 📊": four characters, five UTF-16 units (the emoji takes two).
    m_system.title = L"\u6982\u8981 \U0001F4CA";
    m_system.reportedTitleLength = static_cast<int>(m_system.title.size());
    EXPECT_EQ(getWindowTitle(7, fakeApi), "\xe6\xa6\x82\xe8\xa6\x81 \xf0\x9f\x93\x8a");
    EXPECT_EQ(m_system.titleCapacities, std::vector<int>{6});
}

TEST_F(ProbeTest, ProcessNameIsTheBaseNameOfTheFirstModule) {
    giveOrdinaryProcess(L"\u00dcbersicht.exe");
    EXPECT_EQ(getProcessName(7, fakeApi), "\xc3\x9c"
                                          "bersicht.exe");

    EXPECT_EQ(m_system.openedProcessIds, std::vector<DWORD>{4242});
    EXPECT_EQ(m_system.openAccessMasks, std::vector<DWORD>{0x410});
    EXPECT_EQ(m_system.openInheritFlags, std::vector<BOOL>{FALSE});
    // Room for exactly one module handle, whatever its size on this build.
    EXPECT_EQ(m_system.moduleListBytes, std::vector<DWORD>{sizeof(HMODULE)});
    EXPECT_EQ(m_system.moduleNameCapacities, std::vector<DWORD>{260});
    EXPECT_EQ(m_system.closedHandles, std::vector<HANDLE>{someProcess});
}

TEST_F(ProbeTest, ProcessThatCannotBeOpenedHasNoNameAndNothingIsClosed) {
    giveOrdinaryProcess(L"service.exe");
    m_system.process = nullptr;
    EXPECT_EQ(getProcessName(7, fakeApi), "");
    EXPECT_TRUE(m_system.moduleListBytes.empty());
    EXPECT_TRUE(m_system.closedHandles.empty());
}

TEST_F(ProbeTest, WindowWithoutAProcessOpensNothing) {
    // A handle that names no window: the identifier is never filled in.
    EXPECT_EQ(getProcessName(7, fakeApi), "");
    // Or it is filled in with 0. Process 0 would be opened if asked, and named.
    giveOrdinaryProcess(L"idle.exe");
    m_system.processId = 0;
    EXPECT_EQ(getProcessName(7, fakeApi), "");
    EXPECT_TRUE(m_system.openedProcessIds.empty());
    EXPECT_TRUE(m_system.closedHandles.empty());
}

TEST_F(ProbeTest, ProcessWhoseModulesCannotBeListedHasNoNameButIsClosed) {
    giveOrdinaryProcess(L"game.exe");
    m_system.firstModule.reset();
    EXPECT_EQ(getProcessName(7, fakeApi), "");
    EXPECT_TRUE(m_system.moduleNameCapacities.empty());
    EXPECT_EQ(m_system.closedHandles, std::vector<HANDLE>{someProcess});
}

TEST_F(ProbeTest, ModuleWithoutANameGivesAnEmptyName) {
    giveOrdinaryProcess(L"");
    EXPECT_EQ(getProcessName(7, fakeApi), "");
    EXPECT_EQ(m_system.closedHandles, std::vector<HANDLE>{someProcess});
}

TEST_F(ProbeTest, LimitedRightsNameAProcessTheOldRightsCannotOpen) {
    // Elevated, or another user's: only the limited rights are granted.
    m_system.processId = 4242;
    m_system.imagePaths[4242] = L"C:\\Program Files\\Admin Tools\\Verwaltung.exe";
    EXPECT_EQ(getProcessName(7, fakeApi), "Verwaltung.exe");
    EXPECT_EQ(m_system.limitedOpenedProcessIds, std::vector<DWORD>{4242});
    EXPECT_TRUE(m_system.openAccessMasks.empty());
    EXPECT_EQ(m_system.closedHandles, std::vector<HANDLE>{limitedHandle(4242)});

    m_system.imagePaths[4242] = L"\\\\?\\D:\\Tools\\long path\\tool.exe";
    EXPECT_EQ(getProcessName(7, fakeApi), "tool.exe");
}

TEST_F(ProbeTest, ImagePathThatCannotBeReadFallsBackToTheFirstModule) {
    giveOrdinaryProcess(L"game.exe");
    m_system.imagePaths[4242] = std::nullopt;
    EXPECT_EQ(getProcessName(7, fakeApi), "game.exe");
    EXPECT_EQ(m_system.closedHandles, (std::vector<HANDLE>{limitedHandle(4242), someProcess}));

    // Neither way works: no name, and both handles closed.
    m_system.firstModule.reset();
    EXPECT_EQ(getProcessName(7, fakeApi), "");
    EXPECT_EQ(m_system.closedHandles.size(), 4u);
}

/// A Store app's frame of process 100 with children of the frame host (8) and of the app (9).
void giveStoreAppFrame(FakeSystem& system, std::wstring frameHost) {
    system.processId = 100;
    system.imagePaths[100] = L"C:\\Windows\\System32\\" + std::move(frameHost);
    system.windowProcesses[toHwnd(8)] = 100;
    system.windowProcesses[toHwnd(9)] = 200;
    system.imagePaths[200] = L"C:\\Program Files\\WindowsApps\\Calculator\\CalculatorApp.exe";
    system.children = {toHwnd(8), toHwnd(9)};
}

TEST_F(ProbeTest, StoreAppFrameIsNamedByTheAppInItsChildWindow) {
    giveStoreAppFrame(m_system, L"ApplicationFrameHost.exe");
    EXPECT_EQ(getProcessName(7, fakeApi), "CalculatorApp.exe");
    // The frame host's own child was not taken for the app.
    EXPECT_EQ(m_system.limitedOpenedProcessIds, (std::vector<DWORD>{100, 200}));

    m_system.imagePaths[100] = L"C:\\WINDOWS\\system32\\applicationframehost.exe";
    EXPECT_EQ(getProcessName(7, fakeApi), "CalculatorApp.exe");
}

TEST_F(ProbeTest, StoreAppFrameWithoutANamedAppChildKeepsTheFrameHostsName) {
    giveStoreAppFrame(m_system, L"ApplicationFrameHost.exe");
    m_system.children = {toHwnd(8)};
    EXPECT_EQ(getProcessName(7, fakeApi), "ApplicationFrameHost.exe");

    // The app's process cannot be opened at all.
    m_system.children = {toHwnd(8), toHwnd(9)};
    m_system.imagePaths.erase(200);
    EXPECT_EQ(getProcessName(7, fakeApi), "ApplicationFrameHost.exe");
}

TEST(FrameHostName, IsTheFrameHostsWhateverItsCaseAndNothingElse) {
    // As the probe answers for a frame the app has not joined, and as an upper-case image path gives it.
    EXPECT_TRUE(namesFrameHost("ApplicationFrameHost.exe"));
    EXPECT_TRUE(namesFrameHost("APPLICATIONFRAMEHOST.EXE"));
    EXPECT_FALSE(namesFrameHost("CalculatorApp.exe"));
    EXPECT_FALSE(namesFrameHost("ApplicationFrameHost.exe.bak"));
    EXPECT_FALSE(namesFrameHost("ApplicationFrameHost"));
    EXPECT_FALSE(namesFrameHost(""));
    // A character outside ASCII is no letter of the name, whatever its low byte.
    EXPECT_FALSE(namesFrameHost("\xc3\x81pplicationFrameHost.exe"));
}

} // namespace
} // namespace dwellmark::platform::win32
