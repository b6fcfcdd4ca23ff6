#include "yeardata/TextLength.hpp"

#include <gtest/gtest.h>

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

}  // namespace
}  // namespace almanoria
