#include "textforms.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <limits>

namespace dwellmark {

namespace {

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

// Drops trailing zeros after a decimal point, and the point itself when nothing follows it.
void trimFraction(std::string& text) {
    if (text.find('.') == std::string::npos) {
        return;
    }
    while (!text.empty() && text.back() == '0') {
        text.pop_back();
    }
    if (!text.empty() && text.back() == '.') {
        text.pop_back();
    }
}

} // namespace

std::string handleText(WindowHandle handle) {
    return std::to_string(handle);
}

std::string timeOfDayText(float secondsSinceMidnight) {
    const double value = secondsSinceMidnight;
    if (!std::isfinite(value) || value == 0.0) {
        return "0";
    }
    // to_chars never looks at the locale, unlike printf once a Qt program has
    // called setlocale. The decimal exponent after rounding to 7 significant
    // digits decides how many digits follow the point.
    std::array<char, 64> scientific{};
    const auto sci = std::to_chars(scientific.data(), scientific.data() + scientific.size(), value,
                                   std::chars_format::scientific, 6);
    const std::string_view sciText(scientific.data(), static_cast<std::size_t>(sci.ptr - scientific.data()));
    const std::size_t e = sciText.find('e');
    int exp10 = 0;
    if (e != std::string_view::npos) {
        const char* first = sciText.data() + e + 1;
        if (*first == '+') {
            ++first;
        }
        std::from_chars(first, sciText.data() + sciText.size(), exp10);
    }
    const int decimals = exp10 >= 6 ? 0 : 6 - exp10;
    std::array<char, 400> fixed{};
    const auto fix =
        std::to_chars(fixed.data(), fixed.data() + fixed.size(), value, std::chars_format::fixed, decimals);
    std::string text(fixed.data(), static_cast<std::size_t>(fix.ptr - fixed.data()));
    trimFraction(text);
    if (text == "-0") {
        text = "0";
    }
    return text;
}

std::string wholeSecondsText(std::int64_t seconds) {
    return std::to_string(seconds);
}

double leadingNumber(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) {
        ++i;
    }
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    // Only a digit, or a point followed by a digit, starts a number: from_chars
    // alone would also take "inf", "nan" and hexadecimal forms.
    const std::size_t start = i;
    std::size_t digits = 0;
    // Decimal magnitude of the mantissa's first non-zero digit, for telling an
    // overflow from an underflow.
    long magnitude = 0;
    bool seenNonZero = false;
    while (i < text.size() && isDigit(text[i])) {
        seenNonZero = seenNonZero || text[i] != '0';
        magnitude += seenNonZero ? 1 : 0;
        ++i;
        ++digits;
    }
    if (i < text.size() && text[i] == '.') {
        ++i;
        while (i < text.size() && isDigit(text[i])) {
            if (!seenNonZero) {
                seenNonZero = text[i] != '0';
                magnitude -= seenNonZero ? 0 : 1;
            }
            ++i;
            ++digits;
        }
    }
    if (digits == 0) {
        return 0.0;
    }
    long exponent = 0;
    if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
        std::size_t j = i + 1;
        bool negativeExponent = false;
        if (j < text.size() && (text[j] == '+' || text[j] == '-')) {
            negativeExponent = text[j] == '-';
            ++j;
        }
        if (j < text.size() && isDigit(text[j])) {
            while (j < text.size() && isDigit(text[j])) {
                exponent = std::min(exponent * 10 + (text[j] - '0'), 1'000'000L);
                ++j;
            }
            exponent = negativeExponent ? -exponent : exponent;
            i = j;
        }
    }
    double value = 0.0;
    const auto result = std::from_chars(text.data() + start, text.data() + i, value, std::chars_format::general);
    if (result.ec == std::errc::result_out_of_range) {
        // Beyond what a double holds: a huge value is infinite, a tiny one 0.
        const bool huge = magnitude + exponent > 0;
        value = huge ? std::numeric_limits<double>::infinity() : 0.0;
    } else if (result.ec != std::errc{}) {
        return 0.0;
    }
    return negative ? -value : value;
}

double roundHalfEven(double value) {
    if (!std::isfinite(value)) {
        return value;
    }
    const double floor = std::floor(value);
    const double diff = value - floor;
    if (diff < 0.5) {
        return floor;
    }
    if (diff > 0.5) {
        return floor + 1.0;
    }
    return std::fmod(floor, 2.0) == 0.0 ? floor : floor + 1.0;
}

WindowHandle handleFromText(std::string_view text) {
    // The cells this reads were written by handleText: plain digits take the short way.
    WindowHandle handle = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), handle);
    if (ec == std::errc{} && end == text.data() + text.size()) {
        return handle;
    }
    const double value = roundHalfEven(leadingNumber(text));
    if (!(value >= std::numeric_limits<WindowHandle>::min() && value <= std::numeric_limits<WindowHandle>::max())) {
        return 0;
    }
    return static_cast<WindowHandle>(value);
}

} // namespace dwellmark
