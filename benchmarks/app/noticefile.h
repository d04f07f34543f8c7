// The file a measured program writes each new foreground window to, as the bench script matches them.
#pragma once

#include <cstdint>
#include <string>

namespace dwellmark::bench {

/// Lines "WINDOW NS": a window that a program has just read as the new
/// foreground, and when (CLOCK_MONOTONIC nanoseconds). Each line is written
/// at once, unbuffered, as the programs end by SIGTERM.
class NoticeFile final {
public:
    /// Appends to the file, making it when it is not there. Throws
    /// std::runtime_error when that fails.
    explicit NoticeFile(const std::string& path);
    ~NoticeFile();

    NoticeFile(const NoticeFile&) = delete;
    NoticeFile& operator=(const NoticeFile&) = delete;

    /// Writes the window's line, with the time now.
    void note(std::uint32_t window) const;

private:
    int m_file = -1;
};

} // namespace dwellmark::bench
