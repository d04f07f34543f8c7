// Dwellmark's icon as Windows shows it: the artwork on the exe (which Explorer,
// the Start-menu shortcut and "Apps & features" show), none in the title bar;
// the version of the exe, as built and as packed, which is the project's; and
// its manifest.
#include "testprogram.h"
#include "win32api/windowsheaders.h"

#include <cstdint>
#include <gtest/gtest.h>
#include <shellapi.h>
#include <string>
#include <vector>

namespace {

constexpr int iconSize = 32;

/// The icon drawn at 32 x 32 on white, as 0xRRGGBB pixels.
std::vector<std::uint32_t> drawOnWhite(HICON icon) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = iconSize;
    info.bmiHeader.biHeight = -iconSize;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    const HDC dc = CreateCompatibleDC(nullptr);
    const HBITMAP bitmap = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    const HGDIOBJ old = SelectObject(dc, bitmap);
    auto* pixels = static_cast<std::uint32_t*>(bits);
    std::fill(pixels, pixels + iconSize * iconSize, 0xFFFFFFu);
    DrawIconEx(dc, 0, 0, icon, iconSize, iconSize, 0, nullptr, DI_NORMAL);
    GdiFlush();
    std::vector<std::uint32_t> result;
    for (int i = 0; i < iconSize * iconSize; ++i) {
        result.push_back(pixels[i] & 0xFFFFFFu);
    }
    SelectObject(dc, old);
    DeleteObject(bitmap);
    DeleteDC(dc);
    return result;
}

/// How many pixels are within a few steps of the colour in each channel.
int countNear(const std::vector<std::uint32_t>& pixels, std::uint32_t colour) {
    int count = 0;
    for (const std::uint32_t pixel : pixels) {
        bool similar = true;
        for (int shift : {0, 8, 16}) {
            const int difference =
                static_cast<int>((pixel >> shift) & 0xFF) - static_cast<int>((colour >> shift) & 0xFF);
            similar = similar && difference * difference <= 64;
        }
        count += similar ? 1 : 0;
    }
    return count;
}

// The artwork: a blue square (#1f5f7a) over about half of it, with white bars
// and a yellow bar and dot (#f2c14e); the margin around the square is clear.
constexpr std::uint32_t artworkBlue = 0x1f5f7a;
constexpr std::uint32_t artworkYellow = 0xf2c14e;
constexpr std::uint32_t white = 0xFFFFFF;

/// A text of the exe's version resource.
std::wstring versionText(const wchar_t* exe, const wchar_t* name) {
    DWORD ignored = 0;
    std::vector<char> info(GetFileVersionInfoSizeW(exe, &ignored));
    wchar_t* value = nullptr;
    UINT length = 0;
    const std::wstring key = std::wstring(L"\\StringFileInfo\\040904b0\\") + name;
    if (info.empty() || !GetFileVersionInfoW(exe, 0, static_cast<DWORD>(info.size()), info.data()) ||
        !VerQueryValueW(info.data(), key.c_str(), reinterpret_cast<void**>(&value), &length)) {
        return {};
    }
    return value;
}

TEST(Icon, BothExesShowTheArtworkWhereWindowsShowsAnExesIconAndTheProjectsVersion) {
    for (const wchar_t* exe : {L"" DWELLMARK_EXE, L"" DWELLMARK_PACKED_EXE}) {
        SCOPED_TRACE(testing::Message() << "the exe " << std::string(exe, exe + wcslen(exe)));
        HICON icon = nullptr;
        ASSERT_EQ(ExtractIconExW(exe, 0, &icon, nullptr, 1), 1U);
        const auto pixels = drawOnWhite(icon);
        DestroyIcon(icon);
        EXPECT_GT(countNear(pixels, artworkBlue), iconSize * iconSize * 4 / 10);
        EXPECT_GT(countNear(pixels, artworkYellow), iconSize * iconSize / 30);
        EXPECT_LT(countNear(pixels, white), iconSize * iconSize * 4 / 10);
        EXPECT_EQ(versionText(exe, L"FileVersion"), L"" DWELLMARK_VERSION);
        EXPECT_EQ(versionText(exe, L"ProductVersion"), L"" DWELLMARK_VERSION);
    }
}

TEST(Icon, TheMainWindowsTitleBarShowsNone) {
    dwellmark::testing::TestProgram program(L"" DWELLMARK_EXE, L"");
    ASSERT_NE(program.process(), nullptr);
    const HWND window = program.waitForWindow(L"DwellmarkMain", L"Dwellmark");
    ASSERT_NE(window, nullptr);
    for (const int which : {GCLP_HICON, GCLP_HICONSM}) {
        const auto icon = reinterpret_cast<HICON>(GetClassLongPtrW(window, which));
        if (icon != nullptr) {
            const auto pixels = drawOnWhite(icon);
            EXPECT_EQ(countNear(pixels, white), iconSize * iconSize);
        }
    }
    PostMessageW(window, WM_CLOSE, 0, 0);
    EXPECT_TRUE(program.exitStatus().has_value());
}

TEST(Program, CarriesItsIconVersionAndManifest) {
    const wchar_t* path = L"" DWELLMARK_EXE;
    EXPECT_EQ(versionText(path, L"ProductName"), L"Dwellmark");
    const HMODULE exe = LoadLibraryExW(path, nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
    ASSERT_NE(exe, nullptr);
    EXPECT_NE(FindResourceW(exe, MAKEINTRESOURCEW(1), RT_GROUP_ICON), nullptr);
    const HRSRC manifest = FindResourceW(exe, MAKEINTRESOURCEW(1), RT_MANIFEST);
    ASSERT_NE(manifest, nullptr);
    const auto* text = static_cast<const char*>(LockResource(LoadResource(exe, manifest)));
    const std::string xml(text, SizeofResource(exe, manifest));
    EXPECT_NE(xml.find("Microsoft.Windows.Common-Controls\" version=\"6.0.0.0\""), std::string::npos);
    EXPECT_NE(xml.find("PerMonitorV2"), std::string::npos);
    FreeLibrary(exe);
}

} // namespace
