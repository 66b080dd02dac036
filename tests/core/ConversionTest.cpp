// The convert step and its number text: the fixed-point text is the standard
// library's, and the ground-to-grid factors agree with GeographicLib's radii
// and scale factor on the same cone.
#include <GeographicLib/Ellipsoid.hpp>
#include <GeographicLib/LambertConformalConic.hpp>
#include <gtest/gtest.h>

#include <charconv>
#include <cmath>
#include <random>

#include "core/convert/Conversion.h"
#include "core/setup/ProjectionSetup.h"
#include "core/text/FixedText.h"

namespace {

// The output's own fixed-point formatter (faster than the standard one, see
// bench/RESULTS.md) writes what std::to_chars writes: ties to even, carries,
// signs, tiny and huge values.
TEST(FixedText, IsTheStandardLibrarysText) {
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
        ASSERT_EQ(std::string(ours, FormatFixed(ours, v, d)), std::string(standard, end)) << std::hexfloat << v << " " << d;
    }
    // Shown, a value that rounds to zero has no minus sign, and the separator is the region's.
    EXPECT_EQ(FixedText(-0.004, 2, ','), "0,00");
    EXPECT_EQ(FixedText(-0.006, 2, ','), "-0,01");
    EXPECT_EQ(FixedText(-0.0, 0), "0");
    // The window's patterns round an exact tie away from zero; a value a hair below stays below.
    EXPECT_EQ(FixedText(0.125, 2, '.', Ties::AwayFromZero) + FixedText(0.125, 2), "0.130.12");
    EXPECT_EQ(FixedText(-600000.375, 2, ',', Ties::AwayFromZero), "-600000,38");
    EXPECT_EQ(FixedText(2.5, 0, '.', Ties::AwayFromZero) + FixedText(6378137.25, 1, '.', Ties::AwayFromZero), "36378137.3");
    EXPECT_EQ(FixedText(std::nextafter(0.125, 0.0), 2, '.', Ties::AwayFromZero), "0.12");
}

// R / (R + h) with R = sqrt(M N), and k times it, against GeographicLib's
// radii and scale factor on the same cone (zone 4204, GRS 80).
TEST(Conversion, ElevationAndCombinedFactorsAgreeWithGeographicLib) {
    ProjectionSetup::SetupFromFields(ProjectionSetup::ZoneFields(false, 4204, '.'), [](const std::string&) {});
    const double a = 6378137.0, f = 1 / 298.257222101;
    const GeographicLib::Ellipsoid ellipsoid(a, f);
    const GeographicLib::LambertConformalConic cone(a, f, 28 + 23 / 60.0, 30 + 17 / 60.0, 1.0);
    for (const double lat : {26.1, 28.4, 30.9}) {
        for (const double h : {-30.0, 0.0, 150.0, 4400.0}) {
            for (const double unitsPerMetre : {1.0, kFeetPerMetre}) {
                Conversion::Point point = Conversion::Forward(lat, -98.25, unitsPerMetre);
                Conversion::AddPointData(point);
                ASSERT_TRUE(Conversion::AddHeight(point, h * unitsPerMetre, unitsPerMetre));
                double x, y, gamma, k;
                cone.Forward(-99, lat, -98.25, x, y, gamma, k);
                const double R = std::sqrt(ellipsoid.MeridionalCurvatureRadius(lat) *
                                           ellipsoid.TransverseCurvatureRadius(lat));
                EXPECT_NEAR(point.elevationFactor, R / (R + h), 1e-12) << lat << " " << h;
                EXPECT_NEAR(point.combinedFactor, k * R / (R + h), 2e-10) << lat << " " << h;
                EXPECT_NEAR(point.convergence, gamma, 1e-9);
            }
        }
    }
}

}  // namespace
