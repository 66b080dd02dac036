#include <gtest/gtest.h>

#include <string>

#include "Cp1252.h"

namespace {

TEST(Cp1252, EveryByteSurvivesTheRoundTrip) {
    for (int b = 0; b <= 0xFF; ++b) {
        EXPECT_EQ(Cp1252::FromUnicode(Cp1252::ToUnicode(static_cast<unsigned char>(b))), b) << b;
    }
    const std::string all = [] { std::string s; for (int b = 0; b <= 0xFF; ++b) s += static_cast<char>(b); return s; }();
    EXPECT_EQ(Cp1252::FromUtf8(Cp1252::ToUtf8(all)), all);
    EXPECT_EQ(Cp1252::FromUnicode(0x0416), -1);  // Ж
    EXPECT_EQ(Cp1252::ToUnicode(0x80), U'\u20AC');
}

// Byte, its upper case.
TEST(Cp1252, UpperCasesAsTheCodePageDoes) {
    const int cases[][2] = {{'a', 'A'}, {'z', 'Z'}, {'N', 'N'}, {0xF8, 0xD8}, {0xE0, 0xC0}, {0xFE, 0xDE},
                            {0xF7, 0xF7}, {0xFF, 0x9F}, {0x9A, 0x8A}, {0x9C, 0x8C}, {0x9E, 0x8E},
                            {0xDF, 0xDF}, {0xB5, 0xB5}, {'1', '1'}};
    for (const auto& c : cases) EXPECT_EQ(Cp1252::UpperCase(static_cast<unsigned char>(c[0])), c[1]) << c[0];
}

// Text, number of characters, number of them invalid.
TEST(Cp1252, DecodesEachInvalidByteAsOneCharacter) {
    const struct { std::string text; std::size_t chars, invalid; } cases[] = {
        {"29°30", 5, 0}, {"\xff\xfe", 2, 2}, {"29\xC3", 3, 1}, {"\xC0\xAF", 2, 2},
        {"\xED\xA0\x80", 3, 3}, {"\xF4\x90\x80\x80", 4, 4}, {"\xF0\x9F\x98\x80", 1, 0}, {"\xE2\x82", 2, 2},
    };
    for (const auto& c : cases) {
        const auto chars = Cp1252::DecodeUtf8(c.text);
        std::size_t invalid = 0;
        for (const auto& ch : chars) invalid += ch.valid ? 0 : 1;
        EXPECT_EQ(chars.size(), c.chars) << c.text;
        EXPECT_EQ(invalid, c.invalid) << c.text;
    }
}

}  // namespace
