#include "formattime.h"

#include <array>
#include <cstdio>

namespace dwellmark {

std::string formatTime(std::int64_t pSeconds) {
    // Work on the magnitude as unsigned so that even the most negative count has one.
    const bool negative = pSeconds < 0;
    const std::uint64_t magnitude =
        negative ? std::uint64_t{0} - static_cast<std::uint64_t>(pSeconds) : static_cast<std::uint64_t>(pSeconds);
    const std::uint64_t hours = magnitude / 3600;
    const unsigned minutes = static_cast<unsigned>(magnitude % 3600 / 60);
    const unsigned seconds = static_cast<unsigned>(magnitude % 60);

    std::array<char, 40> buffer{};
    const int length = std::snprintf(buffer.data(), buffer.size(), "%s%02llu:%02u:%02u", negative ? "-" : "",
                                     static_cast<unsigned long long>(hours), minutes, seconds);
    return std::string(buffer.data(), static_cast<std::size_t>(length));
}

} // namespace dwellmark
