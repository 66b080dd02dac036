// Strict reading of batch input: angle forms, line splitting, numbers, the
// option angles rendered into the window's field text, and the output's
// number text.
#include "AngleInput.h"
#include "BatchProjection.h"
#include "FixedText.h"

#include <gtest/gtest.h>

#include <bit>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <random>

#include "AngleText.h"
#include "NumberText.h"

using BatchInput::AngleKind;

namespace {

constexpr AngleKind LAT = AngleKind::Latitude;
constexpr AngleKind LON = AngleKind::Longitude;
constexpr double kDms = 29 + 30 / 60.0 + 15.5 / 3600;  // 29 30 15.5

std::uint64_t Bits(double x) { return std::bit_cast<std::uint64_t>(x); }

double WindowReads(const std::string& text, AngleKind kind) {
    return HmsHr(text, kind == LAT ? "LAT" : "LON", [](const std::string& m) { ADD_FAILURE() << m; });
}

// Expected degrees within 1e-12; `window`: the window's angle reader takes
// the same text to the same double, bit for bit.
TEST(BatchInput, AcceptedAngleForms) {
    const struct { const char* text; AngleKind kind; double degrees; bool window; } cases[] = {
        {"29.5", LAT, 29.5, false},
        {"-95.25", LON, -95.25, false},
        {"+29.5", LAT, 29.5, false},
        {".5", LAT, 0.5, false},
        {"29.5N", LAT, 29.5, false},
        {"95.25 w", LON, -95.25, false},
        {"29.5\u00B0S", LAT, -29.5, false},
        {"29 30 15.5 N", LAT, kDms, true},
        {"29\u00B030'15.5\"N", LAT, kDms, true},
        {"29:30:15.5N", LAT, kDms, true},
        {"29\u00B0 30\u2032 15.5\u2033 S", LAT, -kDms, true},
        {"-29 30 15.5", LAT, -kDms, true},
        {"29 30 15.123 N", LAT, 29 + 30 / 60.0 + double{15.123f} / 3600, true},  // seconds as a float
        {"29 30 N", LAT, 29.5, true},
        {"095 15 W", LON, -95.25, true},
        {"99\u00B0W", LON, -99, true},
        {"90", LAT, 90, true},
        {"180 W", LON, -180, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        double degrees = 0.0;
        std::string error;
        ASSERT_TRUE(BatchInput::ReadAngle(c.text, c.kind, degrees, error)) << error;
        EXPECT_NEAR(degrees, c.degrees, 1e-12);
        if (c.window) {
            EXPECT_EQ(Bits(degrees), Bits(WindowReads(c.text, c.kind)));
        }
    }
}

// Every refusal, with a part of its message; the output stays untouched.
TEST(BatchInput, RefusedAngles) {
    const struct { const char* text; AngleKind kind; const char* reason; } cases[] = {
        {"", LAT, "empty"},
        {"abc", LAT, "not a number"},
        {"inf", LON, "not a number"},
        {"- 29", LAT, "not a number"},
        {"91", LAT, "beyond 90"},
        {"90 0 0.5 N", LAT, "beyond 90"},
        {"180.5", LON, "beyond 180"},
        {"29 60 N", LAT, "minutes must be below 60"},
        {"29 30 60", LAT, "seconds must be below 60"},
        {"29 30 59.999999999", LAT, "seconds must be below 60"},  // 60 as the window's float
        {"-29 N", LAT, "a sign and a hemisphere letter"},
        {"29 E", LAT, "no hemisphere of a latitude"},
        {"95 N", LON, "no hemisphere of a longitude"},
        {"29.5 30", LAT, "only the last number"},
        {"29 30.5 N", LAT, "decimal minutes"},
        {"29 30 15 10", LAT, "more than three numbers"},
        {"29'30", LAT, "the minute mark after the degrees"},
        {"29 N 30", LAT, "text after the hemisphere letter"},
        {"29:", LAT, "no number after ':'"},
        {"1e5", LAT, "text after the hemisphere letter"},
        {"29 30 15,5 N", LAT, "unexpected character"},
        {"99999999999 0 0", LON, "out of range"},
        {".", LAT, "a point without digits"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        double degrees = 12.0;
        std::string error;
        EXPECT_FALSE(BatchInput::ReadAngle(c.text, c.kind, degrees, error));
        EXPECT_NE(error.find(c.reason), std::string::npos) << error;
        EXPECT_EQ(degrees, 12.0);
    }
}

// `first` nullptr: refused, with `second` a part of the reason.
TEST(BatchInput, LinesSplitIntoTwoCoordinates) {
    const struct { const char* line; bool angles; const char* first; const char* second; } cases[] = {
        {"29.5 -95.25", true, "29.5", "-95.25"},
        {"29.5,-95.25", true, "29.5", "-95.25"},
        {" 29.5 ;  -95.25 ", true, "29.5", "-95.25"},
        {"29 30 15.5 N\t95 15 W", true, "29 30 15.5 N", "95 15 W"},
        {"29 30 15.5 N 95 15 W", true, "29 30 15.5 N", "95 15 W"},
        {"29\u00B030'15.5\"N 95 15 W", true, "29\u00B030'15.5\"N", "95 15 W"},
        {"29.5 n  -95.25", true, "29.5 n", "-95.25"},
        {"500000 4000000", false, "500000", "4000000"},
        {"29 30 95 15", true, nullptr, "cannot tell where the latitude ends"},
        {"29 30 15 N", true, nullptr, "cannot tell where the latitude ends"},
        {"500000 4000000 12", false, nullptr, "found 3 fields"},
        {"29.5", true, nullptr, "found 1 field"},
        {"1,2,3", true, nullptr, "more than two fields"},
        {"29.5,", true, nullptr, "an empty field"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.line);
        std::string_view first, second;
        std::string error;
        const bool ok = BatchInput::SplitLine(c.line, c.angles, first, second, error);
        ASSERT_EQ(ok, c.first != nullptr) << error;
        if (ok) {
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

// An angle option becomes field text that the window reads back: typed
// degree-minute-second text to the very same double (tolerance 0), decimal
// degrees within the tolerance in degrees (the window holds seconds as a
// float). `field` nullptr: the text is not checked.
TEST(BatchInput, OptionAnglesBecomeWindowFieldText) {
    const struct { const char* typed; const char* field; double tolerance; } cases[] = {
        {"29 30 15.5 N", "29\u00B030'15.5\"N", 0},
        {"-29:30:15.123", "29\u00B030'15.123\"S", 0},
        {"28 23 N", "28\u00B023'0\"N", 0},
        {"29.5", "29\u00B030'0.000000\"N", 0},
        {"27.99999999999", "28\u00B00'0\"N", 1e-9},  // the seconds carry into a whole degree
        {"-33.123456789", nullptr, 6e-10},
        {"0.000001", nullptr, 6e-10},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.typed);
        BatchProjection::ConeOptions o;
        o.datum = "WGS84", o.parallel = c.typed, o.scale = "1", o.meridian = "0";
        ProjectionSetup::ParameterFields f;
        std::string error;
        double typed = 0.0;
        ASSERT_TRUE(BatchProjection::ConeFields(o, f, error)) << error;
        ASSERT_TRUE(BatchInput::ReadAngle(c.typed, LAT, typed, error));
        if (c.field) {
            EXPECT_EQ(f.parallel[0], c.field);
        }
        const double window = WindowReads(f.parallel[0], LAT);
        if (c.tolerance == 0) {
            EXPECT_EQ(Bits(window), Bits(typed));
        } else {
            EXPECT_NEAR(window, typed, c.tolerance);
        }
    }
}

// The output's own fixed-point formatter writes what std::to_chars writes:
// exact ties to even, carries, signs, tiny and huge values.
TEST(BatchOutput, FixedTextIsTheStandardLibrarysText) {
    char ours[400], standard[400];
    const auto Ours = [&](double v, int d) { return std::string(ours, BatchConvert::FormatFixed(ours, v, d)); };
    const struct { double value; int decimals; const char* text; } ties[] = {
        {0.125, 2, "0.12"}, {0.375, 2, "0.38"}, {2.5, 0, "2"},     {3.5, 0, "4"},
        {-0.0001, 3, "-0.000"}, {9.9995, 3, "9.999"}, {99.5, 0, "100"}, {-0.0, 1, "-0.0"}};
    for (const auto& t : ties) EXPECT_EQ(Ours(t.value, t.decimals), t.text) << t.value;

    std::mt19937_64 random(20240607);
    std::uniform_int_distribution<int> exponent(-1100, 1100), decimals(0, 15);
    for (int i = 0; i < 200000; ++i) {
        double v = std::ldexp(std::uniform_real_distribution<double>(-2, 2)(random), exponent(random) % (i % 3 ? 70 : 1100));
        if (i % 5 == 0) v = std::round(v * 1000) / 1000 + 0.0005;  // near the ties of three decimals
        const int d = decimals(random);
        char* end = std::to_chars(standard, standard + sizeof standard, v, std::chars_format::fixed, d).ptr;
        ASSERT_EQ(Ours(v, d), std::string(standard, end)) << std::hexfloat << v << " " << d;
    }
}

}  // namespace
