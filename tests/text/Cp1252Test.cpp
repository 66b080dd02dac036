#include <gtest/gtest.h>

#include <string>

#include "Cp1252.h"

namespace {

TEST(Cp1252, EveryByteSurvivesTheRoundTrip) {
    for (int b = 0; b <= 0xFF; ++b) {
        EXPECT_EQ(Cp1252::FromUnicode(Cp1252::ToUnicode(static_cast<unsigned char>(b))), b) << b;
    }
    std::string all;
    for (int b = 0; b <= 0xFF; ++b) all += static_cast<char>(b);
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

}  // namespace
