#include "platform/linux/titletext.h"

#include <gtest/gtest.h>
#include <string>

namespace dwellmark::platform::linux {
namespace {

const std::string fffd = "\xEF\xBF\xBD";

TEST(RepairUtf8, KeepsWellFormedText) {
    const std::string text = "Gr\xC3\xBC\xC3\x9F"
                             "e \xE4\xB8\x96\xE7\x95\x8C \xF0\x9F\x98\x80";
    EXPECT_EQ(repairUtf8(text), text);
}

TEST(RepairUtf8, ReplacesEachMaximalIllFormedPart) {
    // A stray continuation byte, a byte that never starts a sequence.
    EXPECT_EQ(repairUtf8("a\x80z"), "a" + fffd + "z");
    EXPECT_EQ(repairUtf8("a\xFFz"), "a" + fffd + "z");
    // A sequence cut short counts once, at the end of the text too.
    EXPECT_EQ(repairUtf8("a\xE2\x82z"), "a" + fffd + "z");
    EXPECT_EQ(repairUtf8("a\xF0\x9F\x98"), "a" + fffd);
    // Overlong forms, surrogates and code points past U+10FFFF are refused byte by byte.
    EXPECT_EQ(repairUtf8("\xC0\xAF"), fffd + fffd);
    EXPECT_EQ(repairUtf8("\xE0\x80\x80"), fffd + fffd + fffd);
    EXPECT_EQ(repairUtf8("\xED\xA0\x80"), fffd + fffd + fffd);
    EXPECT_EQ(repairUtf8("\xF4\x90\x80\x80"), fffd + fffd + fffd + fffd);
    // The largest code points that are allowed stay.
    EXPECT_EQ(repairUtf8("\xF4\x8F\xBF\xBF\xED\x9F\xBF"), "\xF4\x8F\xBF\xBF\xED\x9F\xBF");
}

TEST(Latin1ToUtf8, MapsTheUpperHalfToTwoBytes) {
    EXPECT_EQ(latin1ToUtf8("Caf\xE9 \xBD\xFF"), "Caf\xC3\xA9 \xC2\xBD\xC3\xBF");
    EXPECT_EQ(latin1ToUtf8("plain"), "plain");
}

TEST(TitleText, CutsAtTheFirstNulAndAtTheCharacterLimit) {
    EXPECT_EQ(titleFromUtf8(std::string("first\0second", 12)), "first");
    EXPECT_EQ(titleFromLatin1(std::string("\0hidden", 7)), "");

    // Characters are counted, not bytes: 4,100 two-byte characters keep 4,096.
    std::string latin1(maxTitleCharacters + 4, '\xE9');
    const std::string title = titleFromLatin1(latin1);
    EXPECT_EQ(title.size(), maxTitleCharacters * 2);
    EXPECT_EQ(title.substr(0, 2), "\xC3\xA9");

    std::string exact(maxTitleCharacters, 'x');
    EXPECT_EQ(titleFromUtf8(exact), exact);
    EXPECT_EQ(titleFromUtf8(exact + "y\xE2\x82"), exact);
}

TEST(TitleText, CountsAReplacementAsOneCharacter) {
    std::string text(maxTitleCharacters - 1, 'x');
    EXPECT_EQ(cutToCharacters(repairUtf8(text + "\xFF\xFF"), maxTitleCharacters), text + fffd);
}

} // namespace
} // namespace dwellmark::platform::linux
