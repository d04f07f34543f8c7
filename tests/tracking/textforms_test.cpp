#include "tracking/textforms.h"

#include <clocale>
#include <cmath>
#include <gtest/gtest.h>
#include <limits>
#include <random>
#include <utility>

namespace dwellmark {
namespace {

TEST(TimeOfDayText, SevenSignificantDigitsWithoutTrailingZeros) {
    const std::pair<float, const char*> cases[] = {
        {612.5F, "612.5"},
        {600.25F, "600.25"},
        {620.0F, "620"},
        {0.0F, "0"},
        {86399.99F, "86399.99"},
        {123.4567891F, "123.4568"},
        {0.001F, "0.001"},
        // Small readings just after midnight stay plain decimals, never "1e-05".
        {0.00001F, "0.00001"},
        // Rounding can carry into a new digit.
        {9999999.5F, "10000000"},
        {99.999999F, "100"}};
    for (const auto& [reading, text] : cases) {
        EXPECT_EQ(timeOfDayText(reading), text) << reading;
    }
}

TEST(TimeOfDayText, ReadsBackWithinItsPrecisionAcrossTheDay) {
    std::mt19937 random(7);
    std::uniform_real_distribution<float> day(0.0F, 86400.0F);
    for (int i = 0; i < 20000; ++i) {
        const float reading = day(random);
        const std::string text = timeOfDayText(reading);
        ASSERT_EQ(text.find_first_not_of("0123456789."), std::string::npos) << text;
        ASSERT_NE(text.back(), '.') << text;
        const double back = leadingNumber(text);
        const double digitsBeforePoint = reading >= 1.0F ? std::floor(std::log10(reading)) + 1 : 1;
        ASSERT_LE(std::abs(back - reading), 0.5 * std::pow(10.0, digitsBeforePoint - 7) + 1e-9) << text;
    }
}

TEST(TimeOfDayText, IgnoresTheUserLocale) {
    const char* previous = std::setlocale(LC_NUMERIC, nullptr);
    const std::string saved = previous != nullptr ? previous : "C";
    // Names of a locale with a decimal comma on Linux and on Windows.
    if (std::setlocale(LC_NUMERIC, "de_DE.UTF-8") == nullptr && std::setlocale(LC_NUMERIC, "fr_FR.UTF-8") == nullptr &&
        std::setlocale(LC_NUMERIC, "German_Germany.1252") == nullptr) {
        GTEST_SKIP() << "no locale with a decimal comma is installed";
    }
    const std::string text = timeOfDayText(612.5F);
    const double back = leadingNumber("612.5");
    std::setlocale(LC_NUMERIC, saved.c_str());
    EXPECT_EQ(text, "612.5");
    EXPECT_EQ(back, 612.5);
}

TEST(LeadingNumber, ReadsTheNumberATextBeginsWith) {
    const std::pair<const char*, double> cases[] = {
        {"312", 312.0},    {"-5", -5.0},      {"+7", 7.0},
        {"612.5", 612.5},  {".5", 0.5},       {"5.", 5.0},
        {"  12abc", 12.0}, {"\t42 s", 42.0},  {"1,5", 1.0},
        {"1e3", 1000.0},   {"2.5E-1x", 0.25}, {"1e", 1.0},
        {"1e+", 1.0},      {"00:05:12", 0.0}, {"9007199254740993", 9007199254740992.0}};
    for (const auto& [text, number] : cases) {
        EXPECT_EQ(leadingNumber(text), number) << text;
    }
}

TEST(LeadingNumber, IsZeroWhenTheTextDoesNotBeginWithANumber) {
    for (const char* text :
         {"", " ", ".", "-", "+", "-.", "abc", "--1", "+-1", "inf", "-inf", "nan", "NaN", "0x", "e5", "\xff",
          "\xe2\x88\x92"
          "5"}) {
        EXPECT_EQ(leadingNumber(text), 0.0) << text;
    }
    // Hexadecimal is not a decimal number: only its leading "0" counts.
    EXPECT_EQ(leadingNumber("0x10"), 0.0);
}

TEST(LeadingNumber, NumbersBeyondADoubleSaturate) {
    EXPECT_EQ(leadingNumber("1e400"), std::numeric_limits<double>::infinity());
    EXPECT_EQ(leadingNumber("-1e400"), -std::numeric_limits<double>::infinity());
    EXPECT_EQ(leadingNumber("1e-400"), 0.0);
    EXPECT_EQ(leadingNumber("0.0001e-400"), 0.0);
    EXPECT_EQ(leadingNumber(std::string(400, '9')), std::numeric_limits<double>::infinity());
    EXPECT_EQ(leadingNumber("1e99999999999999999999"), std::numeric_limits<double>::infinity());
}

TEST(RoundHalfEven, TiesGoToTheEvenNeighbour) {
    EXPECT_EQ(roundHalfEven(12.5), 12.0);
    EXPECT_EQ(roundHalfEven(13.5), 14.0);
    EXPECT_EQ(roundHalfEven(11.75), 12.0);
    EXPECT_EQ(roundHalfEven(12.4999), 12.0);
    EXPECT_EQ(roundHalfEven(-0.5), 0.0);
    EXPECT_EQ(roundHalfEven(-1.5), -2.0);
    EXPECT_EQ(roundHalfEven(-2.5), -2.0);
    EXPECT_EQ(roundHalfEven(-2.6), -3.0);
    EXPECT_EQ(roundHalfEven(4503599627370497.0), 4503599627370497.0);
}

TEST(HandleFromText, ReadsA32BitHandleOrNothing) {
    EXPECT_EQ(handleFromText(handleText(656)), 656);
    EXPECT_EQ(handleFromText(handleText(-12)), -12);
    EXPECT_EQ(handleFromText(handleText(std::numeric_limits<WindowHandle>::min())),
              std::numeric_limits<WindowHandle>::min());
    EXPECT_EQ(handleFromText(handleText(std::numeric_limits<WindowHandle>::max())),
              std::numeric_limits<WindowHandle>::max());
    EXPECT_EQ(handleFromText("2147483648"), 0);
    EXPECT_EQ(handleFromText("1e400"), 0);
    EXPECT_EQ(handleFromText("12.5"), 12);
    EXPECT_EQ(handleFromText("x"), 0);
}

TEST(WholeSecondsText, PlainSignedDigits) {
    EXPECT_EQ(wholeSecondsText(312), "312");
    EXPECT_EQ(wholeSecondsText(-5), "-5");
    EXPECT_EQ(wholeSecondsText(0), "0");
    EXPECT_EQ(wholeSecondsText(40000), "40000");
}

} // namespace
} // namespace dwellmark
