// The batch tool's option angles rendered into the window's field text, and
// the output's number text.
#include "cli/BatchProjection.h"
#include "cli/FixedText.h"

#include <gtest/gtest.h>

#include <bit>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <random>

#include "core/text/AngleInput.h"
#include "core/text/AngleText.h"

namespace {

using BatchInput::AngleKind;
constexpr AngleKind LAT = AngleKind::Latitude;
std::uint64_t Bits(double x) { return std::bit_cast<std::uint64_t>(x); }
double WindowReads(const std::string& text, AngleKind kind) {
    return HmsHr(text, kind == LAT ? "LAT" : "LON", [](const std::string& m) { ADD_FAILURE() << m; });
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
