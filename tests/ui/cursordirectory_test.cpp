// The directory of a cursor file: the shipped pointer, and files that are no cursor.
#include "ui/cursordirectory.h"

#include <gtest/gtest.h>

#include <filesystem>

using dwellmark::ui::CursorDirectory;

namespace {

std::vector<unsigned char> shippedCursor() {
    std::optional<std::vector<unsigned char>> data = CursorDirectory::readFile(DWELLMARK_CURSOR_FILE);
    return data ? *data : std::vector<unsigned char>{};
}

} // namespace

TEST(CursorDirectory, TheShippedPointerHasItsOwnHotspotInsideItsImage) {
    const std::vector<unsigned char> data = shippedCursor();
    ASSERT_FALSE(data.empty());
    const std::optional<CursorDirectory> cursor = CursorDirectory::read(data);
    ASSERT_TRUE(cursor.has_value());
    EXPECT_EQ(cursor->width, 32);
    EXPECT_EQ(cursor->height, 32);
    EXPECT_EQ(cursor->hotspotX, data[10] | data[11] << 8);
    EXPECT_EQ(cursor->hotspotY, data[12] | data[13] << 8);
    EXPECT_LE(std::uint64_t{cursor->offset} + cursor->bytes, data.size());
}

TEST(CursorDirectory, FilesThatAreNoCursorAreRefused) {
    const std::vector<unsigned char> good = shippedCursor();
    ASSERT_FALSE(good.empty());
    EXPECT_FALSE(CursorDirectory::read({}).has_value());
    EXPECT_FALSE(CursorDirectory::read(std::vector<unsigned char>(good.begin(), good.begin() + 21)).has_value());
    std::vector<unsigned char> icon = good;
    icon[2] = 1;
    EXPECT_FALSE(CursorDirectory::read(icon).has_value());
    std::vector<unsigned char> offHotspot = good;
    offHotspot[10] = 40;
    EXPECT_FALSE(CursorDirectory::read(offHotspot).has_value());
    std::vector<unsigned char> truncated(good.begin(), good.end() - 1);
    EXPECT_FALSE(CursorDirectory::read(truncated).has_value());
    std::vector<unsigned char> noEntries = good;
    noEntries[4] = 0;
    EXPECT_FALSE(CursorDirectory::read(noEntries).has_value());
}

TEST(CursorDirectory, OnlyRegularFilesAreRead) {
    EXPECT_FALSE(CursorDirectory::readFile("no such file.cur").has_value());
    EXPECT_FALSE(CursorDirectory::readFile(std::filesystem::temp_directory_path().string()).has_value());
}
