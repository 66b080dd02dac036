// Strict reading of batch input: angle forms, line splitting, numbers.
#include "core/text/AngleInput.h"
#include <gtest/gtest.h>
#include <bit>
#include <cstdint>
#include "core/text/AngleText.h"
#include "core/text/NumberText.h"

namespace {
constexpr auto LAT = AngleKind::Latitude, LON = AngleKind::Longitude;
constexpr double kDms = 29 + 30 / 60.0 + 15.5 / 3600;  // 29 30 15.5

std::uint64_t Bits(double x) { return std::bit_cast<std::uint64_t>(x); }

// Accepted as `degrees` within 1e-12; with `window`, the window's reader takes the text to the same double.
TEST(BatchInput, ReadsTheAcceptedAngleForms) {
    const struct { const char* text; AngleKind kind; double degrees; bool window; } cases[] = {
        {"29.5", LAT, 29.5, false},              {"-95.25", LON, -95.25, false},  {"+29.5", LAT, 29.5, false},
        {".5", LAT, 0.5, false},                 {"29.5N", LAT, 29.5, false},     {"95.25 w", LON, -95.25, false},
        {"29.5\u00B0S", LAT, -29.5, false},      {"29 30 15.5 N", LAT, kDms, true},
        {"29\u00B030'15.5\"N", LAT, kDms, true}, {"29:30:15.5N", LAT, kDms, true},
        {"29\u00B0 30\u2032 15.5\u2033 S", LAT, -kDms, true}, {"-29 30 15.5", LAT, -kDms, true},
        {"29 30 15.123 N", LAT, 29 + 30 / 60.0 + double{15.123f} / 3600, true},  // float seconds
        {"29 30 N", LAT, 29.5, true},            {"095 15 W", LON, -95.25, true}, {"99\u00B0W", LON, -99, true},
        {"90", LAT, 90, true},                   {"180 W", LON, -180, true},
    };
    for (const auto& c : cases) {
        double degrees = 0;
        std::string error;
        ASSERT_TRUE(BatchInput::ReadAngle(c.text, c.kind, degrees, error)) << c.text << ": " << error;
        EXPECT_NEAR(degrees, c.degrees, 1e-12) << c.text;
        const auto none = [](const std::string& m) { ADD_FAILURE() << m; };
        EXPECT_TRUE(!c.window || Bits(degrees) == Bits(HmsHr(c.text, c.kind == LAT ? "LAT" : "LON", none))) << c.text;
    }
}

// Refused with `reason` in the message, the output untouched.
TEST(BatchInput, RefusesTheRestOfTheAngleForms) {
    const struct { const char* text; AngleKind kind; const char* reason; } cases[] = {
        {"", LAT, "empty"},                 {"abc", LAT, "not a number"},         {"inf", LON, "not a number"},
        {"- 29", LAT, "not a number"},      {"91", LAT, "beyond 90"},             {"90 0 0.5 N", LAT, "beyond 90"},
        {"180.5", LON, "beyond 180"},       {"29 60 N", LAT, "minutes must be below 60"},
        {"29 30 60", LAT, "seconds must be below 60"},  {"29 30 59.999999999", LAT, "seconds must be below 60"},
        {"-29 N", LAT, "a sign and a hemisphere letter"},  {"29 E", LAT, "no hemisphere of a latitude"},
        {"95 N", LON, "no hemisphere of a longitude"},     {"29.5 30", LAT, "only the last number"},
        {"29 30.5 N", LAT, "decimal minutes"},             {"29 30 15 10", LAT, "more than three numbers"},
        {"29'30", LAT, "the minute mark after the degrees"}, {"29 N 30", LAT, "text after the hemisphere letter"},
        {"29:", LAT, "no number after ':'"},  {"1e5", LAT, "text after the hemisphere letter"},
        {"29 30 15,5 N", LAT, "unexpected character"},     {"99999999999 0 0", LON, "out of range"},
        {".", LAT, "a point without digits"},
    };
    for (const auto& c : cases) {
        double degrees = 12.0;
        std::string error;
        EXPECT_FALSE(BatchInput::ReadAngle(c.text, c.kind, degrees, error)) << c.text;
        EXPECT_NE(error.find(c.reason), std::string::npos) << c.text << ": " << error;
        EXPECT_EQ(degrees, 12.0) << c.text;
    }
}

// A line and its two co-ordinates as "first|second", or a part of the reason it is refused.
TEST(BatchInput, LinesSplitIntoTwoCoordinates) {
    const struct { const char* line; bool angles; std::string want; } cases[] = {
        {"29.5 -95.25", true, "29.5|-95.25"},      {"29.5,-95.25", true, "29.5|-95.25"},
        {" 29.5 ;  -95.25 ", true, "29.5|-95.25"}, {"29.5 n  -95.25", true, "29.5 n|-95.25"},
        {"29 30 15.5 N\t95 15 W", true, "29 30 15.5 N|95 15 W"}, {"29 30 15.5 N 95 15 W", true, "29 30 15.5 N|95 15 W"},
        {"29\u00B030'15.5\"N 95 15 W", true, "29\u00B030'15.5\"N|95 15 W"}, {"500000 4000000", false, "500000|4000000"},
        {"29 30 95 15", true, "cannot tell where the latitude ends"}, {"29 30 15 N", true, "cannot tell where"},
        {"500000 4000000 12", false, "found 3 fields"},  {"29.5", true, "found 1 field"},
        {"1,2,3", true, "more than two fields"},         {"29.5,", true, "an empty field"},
    };
    for (const auto& c : cases) {
        std::string_view first, second;
        std::string error;
        const bool split = BatchInput::SplitLine(c.line, c.angles, first, second, error);
        const std::string got = split ? std::string(first) + "|" + std::string(second) : error;
        EXPECT_EQ(split, c.want.find('|') != std::string::npos) << c.line << ": " << got;
        EXPECT_TRUE(split ? got == c.want : got.find(c.want) != std::string::npos) << c.line << ": " << got;
    }
}

// Grid input: plain numbers only, read to the value the window's number reader gives for the same text.
TEST(BatchInput, NumbersAreStrictAndReadAsTheWindowReadsThem) {
    double value = 0.0;
    for (const char* text : {"500000.25", "+1.5", "-0.5", "1e6", " 12 ", "3000000.123456789", ".5"})
        EXPECT_TRUE(BatchInput::ReadNumber(text, value) && Bits(value) == Bits(XVal(text))) << text << ": " << value;
    for (const char* text : {"", "1,5", "0x10", "inf", "nan", "--5", "+-5", "1e400", "12 m", "-"})
        EXPECT_FALSE(BatchInput::ReadNumber(text, value)) << text;
}
}  // namespace
