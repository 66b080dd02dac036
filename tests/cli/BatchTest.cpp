// The batch tool's own pieces: option angles read into numbers, and the
// output's number text.
#include <gtest/gtest.h>

#include <charconv>
#include <cmath>
#include <random>

#include "cli/BatchProjection.h"
#include "cli/FixedText.h"
#include "engine/Tarvane_Module.h"

namespace {

using namespace Tarvane_Module;

// Texas South Central (zone 4204, NAD83) typed as decimal degrees, as other
// tools write it, some just below a whole minute: the grid within 1 mm of the
// zone's own.
TEST(BatchProjection, DecimalDegreeParametersGiveTheZonesGrid) {
    BatchProjection::ProjectionParameters zone;
    std::string error;
    ASSERT_TRUE(BatchProjection::ZoneParameters(false, 4204, zone, error)) << error;
    const struct { const char *south, *north, *origin, *meridian; } typed[] = {
        {"28.383333333", "30.283333333", "27.833333333", "-99"},
        {"28.38333333333333", "30.28333333333333", "27.83333333333333", "-99.0"},
        {"28 23 N", "30.2833333333333", "27:50:00N", "99 W"},
    };
    for (const auto& t : typed) {
        SCOPED_TRACE(t.south);
        const BatchProjection::ConeOptions o{"NAD83", "meter", t.south, t.north, t.origin, "", "", t.meridian,
                                             "4000000", "600000"};
        BatchProjection::ProjectionParameters cone;
        ASSERT_TRUE(BatchProjection::ConeParameters(o, cone, error)) << error;
        for (const double lat : {0.45, 0.49, 0.53}) {
            for (const double lon : {-1.76, -1.70}) {
                double e[2], n[2];
                for (int k = 0; k < 2; ++k) {
                    ASSERT_TRUE(BatchProjection::Setup(k ? cone : zone, error)) << error;
                    GeoToGrid(lat, lon, e[k], n[k]);
                }
                EXPECT_NEAR(e[0], e[1], 1e-3);
                EXPECT_NEAR(n[0], n[1], 1e-3);
            }
        }
    }
}

// The output's own fixed-point formatter (faster than the standard one, see
// bench/RESULTS.md) writes what std::to_chars writes: ties to even, carries,
// signs, tiny and huge values.
TEST(BatchOutput, FixedTextIsTheStandardLibrarysText) {
    char ours[400], standard[400];
    std::mt19937_64 random(20240607);
    std::uniform_int_distribution<int> exponent(-1100, 1100), decimals(0, 15);
    const double ties[] = {0.125, 0.375, 2.5, 3.5, -0.0001, 9.9995, 99.5, -0.0};
    for (int i = 0; i < 200000; ++i) {
        double v = std::ldexp(std::uniform_real_distribution<double>(-2, 2)(random), exponent(random) % (i % 3 ? 70 : 1100));
        if (i % 5 == 0) v = std::round(v * 1000) / 1000 + 0.0005;  // near the ties of three decimals
        if (i < 8 * 16) v = ties[i / 16];
        const int d = i < 8 * 16 ? i % 16 : decimals(random);
        char* end = std::to_chars(standard, standard + sizeof standard, v, std::chars_format::fixed, d).ptr;
        ASSERT_EQ(std::string(ours, BatchConvert::FormatFixed(ours, v, d)), std::string(standard, end))
            << std::hexfloat << v << " " << d;
    }
}

}  // namespace
