// Reading the directory of a Windows cursor file.
#include "ui/cursordirectory.h"

#include <filesystem>
#include <fstream>
#include <system_error>

namespace dwellmark::ui {

namespace {

constexpr std::uint16_t cursorType = 2;

std::uint16_t u16(const std::vector<unsigned char>& data, std::size_t at) {
    return static_cast<std::uint16_t>(data[at] | data[at + 1] << 8);
}

std::uint32_t u32(const std::vector<unsigned char>& data, std::size_t at) {
    return static_cast<std::uint32_t>(u16(data, at)) | static_cast<std::uint32_t>(u16(data, at + 2)) << 16;
}

} // namespace

std::optional<CursorDirectory> CursorDirectory::read(const std::vector<unsigned char>& data) {
    const std::size_t size = data.size();
    if (size < headerSize + entrySize || size > maxFileSize) {
        return std::nullopt;
    }
    const std::uint16_t reserved = u16(data, 0);
    const std::uint16_t type = u16(data, 2);
    const std::uint16_t count = u16(data, 4);
    if (reserved != 0 || type != cursorType || count == 0 || headerSize + entrySize * count > size) {
        return std::nullopt;
    }
    // The first image of the directory is the cursor.
    const std::size_t entry = headerSize;
    CursorDirectory cursor;
    cursor.width = data[entry] == 0 ? 256 : data[entry];
    cursor.height = data[entry + 1] == 0 ? 256 : data[entry + 1];
    cursor.hotspotX = u16(data, entry + 4);
    cursor.hotspotY = u16(data, entry + 6);
    cursor.bytes = u32(data, entry + 8);
    cursor.offset = u32(data, entry + 12);
    if (cursor.bytes == 0 || cursor.offset < headerSize + entrySize * count ||
        std::uint64_t{cursor.offset} + cursor.bytes > size || cursor.hotspotX >= cursor.width ||
        cursor.hotspotY >= cursor.height) {
        return std::nullopt;
    }
    return cursor;
}

std::optional<std::vector<unsigned char>> CursorDirectory::readFile(const std::string& path) {
    std::error_code error;
    const std::filesystem::path file = std::filesystem::path(std::u8string(path.begin(), path.end()));
    if (!std::filesystem::is_regular_file(file, error)) {
        return std::nullopt;
    }
    const std::uintmax_t size = std::filesystem::file_size(file, error);
    if (error || size > maxFileSize) {
        return std::nullopt;
    }
    std::ifstream in(file, std::ios::binary);
    std::vector<unsigned char> data(static_cast<std::size_t>(size));
    if (!in || !in.read(reinterpret_cast<char*>(data.data()), static_cast<std::streamsize>(data.size()))) {
        return std::nullopt;
    }
    return data;
}

} // namespace dwellmark::ui
