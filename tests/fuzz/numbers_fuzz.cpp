// Reading numbers back from cell texts, and the texts that numbers are written
// as, must hold for any input: no crash, no NaN, no undefined behaviour.
#include "tracking/formattime.h"
#include "tracking/textforms.h"

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>

namespace {

void check(bool condition) {
    if (!condition) {
        std::abort();
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace dwellmark;
    const std::string_view text(reinterpret_cast<const char*>(data), size);

    const double value = leadingNumber(text);
    check(!std::isnan(value));
    // Blanks before a number do not change it, and nothing after it does.
    check(leadingNumber(" " + std::string(text)) == value);
    check(leadingNumber(std::string(text) + "z") == value);

    const double rounded = roundHalfEven(value);
    if (std::isfinite(value)) {
        check(rounded == std::floor(rounded));
        check(std::abs(rounded - value) <= 0.5);
    }
    (void)handleFromText(text);

    // Round trips of the written forms, from the input's first bytes.
    if (size >= sizeof(std::int64_t)) {
        std::int64_t seconds = 0;
        std::memcpy(&seconds, data, sizeof seconds);
        const std::string duration = formatTime(seconds);
        const std::size_t first = duration.find(':');
        const std::size_t second = duration.rfind(':');
        check(first != std::string::npos && second == first + 3 && second + 3 == duration.size());
        check(wholeSecondsText(seconds) == std::to_string(seconds));
        check(static_cast<std::int64_t>(leadingNumber(std::to_string(seconds % 9007199254740992))) ==
              seconds % 9007199254740992);
    }
    if (size >= sizeof(float)) {
        float reading = 0.0F;
        std::memcpy(&reading, data, sizeof reading);
        if (std::isfinite(reading) && reading >= 0.0F && reading < 86400.0F) {
            const std::string written = timeOfDayText(reading);
            const double back = leadingNumber(written);
            check(std::abs(back - reading) <= 0.01);
            check(written.find_first_not_of("0123456789.") == std::string::npos);
        }
    }
    return 0;
}
