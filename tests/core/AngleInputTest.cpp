// Strict reading of batch input: angle forms, line splitting, numbers.
#include "core/text/AngleInput.h"

#include <gtest/gtest.h>

#include <bit>
#include <cstdint>

#include "core/text/AngleText.h"
#include "core/text/NumberText.h"

using BatchInput::AngleKind;

namespace {

constexpr AngleKind LAT = AngleKind::Latitude;
constexpr AngleKind LON = AngleKind::Longitude;
constexpr double kDms = 29 + 30 / 60.0 + 15.5 / 3600;  // 29 30 15.5

std::uint64_t Bits(double x) { return std::bit_cast<std::uint64_t>(x); }

// `reason` null: accepted, as `degrees` within 1e-12; `window`: the window's
// angle reader takes the same text to the same double, bit for bit. Otherwise
// refused with `reason` in the message, the output untouched.
TEST(BatchInput, ReadsTheAcceptedAngleFormsAndRefusesTheRest) {
    const struct { const char* text; AngleKind kind; double degrees; bool window; const char* reason; } cases[] = {
        {"29.5", LAT, 29.5, false, nullptr},              {"-95.25", LON, -95.25, false, nullptr},
        {"+29.5", LAT, 29.5, false, nullptr},             {".5", LAT, 0.5, false, nullptr},
        {"29.5N", LAT, 29.5, false, nullptr},             {"95.25 w", LON, -95.25, false, nullptr},
        {"29.5\u00B0S", LAT, -29.5, false, nullptr},      {"29 30 15.5 N", LAT, kDms, true, nullptr},
        {"29\u00B030'15.5\"N", LAT, kDms, true, nullptr}, {"29:30:15.5N", LAT, kDms, true, nullptr},
        {"29\u00B0 30\u2032 15.5\u2033 S", LAT, -kDms, true, nullptr},
        {"-29 30 15.5", LAT, -kDms, true, nullptr},
        {"29 30 15.123 N", LAT, 29 + 30 / 60.0 + double{15.123f} / 3600, true, nullptr},  // float seconds
        {"29 30 N", LAT, 29.5, true, nullptr},            {"095 15 W", LON, -95.25, true, nullptr},
        {"99\u00B0W", LON, -99, true, nullptr},           {"90", LAT, 90, true, nullptr},
        {"180 W", LON, -180, true, nullptr},
        {"", LAT, 0, false, "empty"},                     {"abc", LAT, 0, false, "not a number"},
        {"inf", LON, 0, false, "not a number"},           {"- 29", LAT, 0, false, "not a number"},
        {"91", LAT, 0, false, "beyond 90"},               {"90 0 0.5 N", LAT, 0, false, "beyond 90"},
        {"180.5", LON, 0, false, "beyond 180"},           {"29 60 N", LAT, 0, false, "minutes must be below 60"},
        {"29 30 60", LAT, 0, false, "seconds must be below 60"},
        {"29 30 59.999999999", LAT, 0, false, "seconds must be below 60"},  // 60 as the window's float
        {"-29 N", LAT, 0, false, "a sign and a hemisphere letter"},
        {"29 E", LAT, 0, false, "no hemisphere of a latitude"},
        {"95 N", LON, 0, false, "no hemisphere of a longitude"},
        {"29.5 30", LAT, 0, false, "only the last number"},
        {"29 30.5 N", LAT, 0, false, "decimal minutes"},
        {"29 30 15 10", LAT, 0, false, "more than three numbers"},
        {"29'30", LAT, 0, false, "the minute mark after the degrees"},
        {"29 N 30", LAT, 0, false, "text after the hemisphere letter"},
        {"29:", LAT, 0, false, "no number after ':'"},
        {"1e5", LAT, 0, false, "text after the hemisphere letter"},
        {"29 30 15,5 N", LAT, 0, false, "unexpected character"},
        {"99999999999 0 0", LON, 0, false, "out of range"},
        {".", LAT, 0, false, "a point without digits"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        double degrees = 12.0;
        std::string error;
        ASSERT_EQ(BatchInput::ReadAngle(c.text, c.kind, degrees, error), !c.reason) << error;
        if (c.reason) {
            EXPECT_NE(error.find(c.reason), std::string::npos) << error;
            EXPECT_EQ(degrees, 12.0);
            continue;
        }
        EXPECT_NEAR(degrees, c.degrees, 1e-12);
        if (c.window) {
            const auto noMessage = [](const std::string& m) { ADD_FAILURE() << m; };
            EXPECT_EQ(Bits(degrees), Bits(HmsHr(c.text, c.kind == LAT ? "LAT" : "LON", noMessage)));
        }
    }
}

// `first` null: refused, with `second` a part of the reason.
TEST(BatchInput, LinesSplitIntoTwoCoordinates) {
    const struct { const char* line; bool angles; const char* first; const char* second; } cases[] = {
        {"29.5 -95.25", true, "29.5", "-95.25"},          {"29.5,-95.25", true, "29.5", "-95.25"},
        {" 29.5 ;  -95.25 ", true, "29.5", "-95.25"},     {"29.5 n  -95.25", true, "29.5 n", "-95.25"},
        {"29 30 15.5 N\t95 15 W", true, "29 30 15.5 N", "95 15 W"},
        {"29 30 15.5 N 95 15 W", true, "29 30 15.5 N", "95 15 W"},
        {"29\u00B030'15.5\"N 95 15 W", true, "29\u00B030'15.5\"N", "95 15 W"},
        {"500000 4000000", false, "500000", "4000000"},
        {"29 30 95 15", true, nullptr, "cannot tell where the latitude ends"},
        {"29 30 15 N", true, nullptr, "cannot tell where the latitude ends"},
        {"500000 4000000 12", false, nullptr, "found 3 fields"},
        {"29.5", true, nullptr, "found 1 field"},         {"1,2,3", true, nullptr, "more than two fields"},
        {"29.5,", true, nullptr, "an empty field"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.line);
        std::string_view first, second;
        std::string error;
        ASSERT_EQ(BatchInput::SplitLine(c.line, c.angles, first, second, error), c.first != nullptr) << error;
        if (c.first) {
            EXPECT_EQ(first, c.first);
            EXPECT_EQ(second, c.second);
        } else {
            EXPECT_NE(error.find(c.second), std::string::npos) << error;
        }
    }
}

// Grid input: plain numbers only, read to the value the window's number
// reader gives for the same text.
TEST(BatchInput, NumbersAreStrictAndReadAsTheWindowReadsThem) {
    double value = 0.0;
    for (const char* text : {"500000.25", "+1.5", "-0.5", "1e6", " 12 ", "3000000.123456789", ".5"}) {
        EXPECT_TRUE(BatchInput::ReadNumber(text, value)) << text;
        EXPECT_EQ(Bits(value), Bits(XVal(text))) << text;
    }
    for (const char* text : {"", "1,5", "0x10", "inf", "nan", "--5", "+-5", "1e400", "12 m", "-"})
        EXPECT_FALSE(BatchInput::ReadNumber(text, value)) << text;
}

}  // namespace
