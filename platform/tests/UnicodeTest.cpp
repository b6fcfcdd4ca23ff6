#include "platform/Unicode.hpp"

#include <gtest/gtest.h>

#include <string>

namespace almanoria {
namespace {

TEST(TextLength, AsciiCountsOneEach) {
    EXPECT_EQ(Utf16Length(""), 0u);
    EXPECT_EQ(Utf16Length("1/2/2012|White||"), 16u);
}

TEST(TextLength, DoubledApostropheCountsTwo) {
    EXPECT_EQ(Utf16Length("God''s"), 6u);
}

TEST(TextLength, TypographicApostropheCountsOne) {
    EXPECT_EQ(Utf16Length("year\xE2\x80\x99s"), 6u);
}

TEST(TextLength, TwoAndThreeByteCharactersCountOne) {
    EXPECT_EQ(Utf16Length("\xC3\xA9"), 1u);      // U+00E9
    EXPECT_EQ(Utf16Length("\xE2\x82\xAC"), 1u);  // U+20AC
}

TEST(TextLength, CharacterBeyondBmpCountsTwo) {
    EXPECT_EQ(Utf16Length("\xF0\x9F\x98\x80"), 2u);  // U+1F600, a surrogate pair
}

TEST(CodePoints, FindTheirStartsAndValues) {
    const std::string text = "F\xC3\xAAte \xF0\x9F\x98\x80!";  // "Fête 😀!"
    EXPECT_EQ(Utf16Length(text), 8u);
    EXPECT_EQ(CodePointAt(text, 1), U'\u00EA');
    EXPECT_EQ(CodePointAt(text, 6), U'\U0001F600');
    EXPECT_FALSE(IsCodePointStart(text, 7));
}

TEST(Utf16Conversion, RoundTripsEveryPlaneAndReplacesWhatIsMalformed) {
    const std::string text = "a\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80";  // a, é, €, 😀
    const std::u16string units = ToUtf16(text);
    EXPECT_EQ(units, u"a\u00E9\u20AC\U0001F600");
    EXPECT_EQ(units.size(), Utf16Length(text));
    EXPECT_EQ(ToUtf8(units), text);
    EXPECT_EQ(ToUtf8(units.data(), units.size()), text);

    // A stray continuation byte and a sequence cut short: one U+FFFD per byte.
    EXPECT_EQ(ToUtf16("x\x80y"), u"x\uFFFDy");
    EXPECT_EQ(ToUtf16("\xE2\x82z"), u"\uFFFD\uFFFDz");
    // An overlong, a surrogate and a code point past U+10FFFF: one U+FFFD for the sequence.
    EXPECT_EQ(ToUtf16("\xC0\xAF"), u"\uFFFD");
    EXPECT_EQ(ToUtf16("\xED\xA0\x80"), u"\uFFFD");
    EXPECT_EQ(ToUtf16("\xF4\x90\x80\x80"), u"\uFFFD");
    // Lone surrogates of either half, and a low one before its high one.
    EXPECT_EQ(ToUtf8(u"\xD83D!"), "\xEF\xBF\xBD!");
    EXPECT_EQ(ToUtf8(u"!\xDE00"), "!\xEF\xBF\xBD");
    EXPECT_EQ(ToUtf8(u"\xDE00\xD83D"), "\xEF\xBF\xBD\xEF\xBF\xBD");
}

}  // namespace
}  // namespace almanoria
