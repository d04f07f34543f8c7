// Reading the directory of a Windows cursor file (.cur); shared by every front end.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace dwellmark::ui {

/// The first image of a cursor file, as its directory describes it.
struct CursorDirectory {
    int width = 0;
    int height = 0;
    int hotspotX = 0;
    int hotspotY = 0;
    /// Where the image's bytes lie in the file.
    std::uint32_t offset = 0;
    std::uint32_t bytes = 0;

    /// A cursor of 256 x 256 in 32-bit colour with its mask takes some 270 KB;
    /// a file beyond this is not a cursor and is not read into memory.
    static constexpr std::size_t maxFileSize = 1024 * 1024;
    static constexpr std::size_t headerSize = 6;
    static constexpr std::size_t entrySize = 16;

    /// The directory of the file's bytes: nothing for a file that is not a sane
    /// cursor file (too short, an icon or another image, entries or an image
    /// outside the file, a hotspot off the image, larger than any cursor).
    static std::optional<CursorDirectory> read(const std::vector<unsigned char>& data);

    /// The bytes of a file of at most maxFileSize bytes; nothing for anything
    /// else (missing, unreadable, a directory, too large).
    static std::optional<std::vector<unsigned char>> readFile(const std::string& path);
};

} // namespace dwellmark::ui
