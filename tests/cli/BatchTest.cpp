// The batch tool's own pieces without the program around them: option angles
// read into numbers, the output's number text, which column of a survey file
// holds what, and the ground-to-grid factors against GeographicLib's radii.
#include <GeographicLib/Ellipsoid.hpp>
#include <GeographicLib/LambertConformalConic.hpp>
#include <gtest/gtest.h>

#include <charconv>
#include <cmath>
#include <random>

#include "cli/BatchConvert.h"
#include "cli/BatchProjection.h"
#include "cli/FixedText.h"
#include "cli/Table.h"
#include "engine/Tarvane_Module.h"

namespace {

using namespace Tarvane_Module;
using namespace BatchInput;

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

// Header spellings and column orders, and --columns by number or by name.
TEST(Table, ColumnsAreFoundByNameOrByColumns) {
    const struct {
        const char *first, *columns;
        bool header;
        int lat, lon, north, east, height;  // -2: MapColumns refuses
    } cases[] = {
        {"id,lat,lon,height,code", "", true, 1, 2, -1, -1, 3},
        {"Latitude;LONGITUDE;Ellipsoid_Height", "", true, 0, 1, -1, -1, 2},
        {"PHI\tLambda\tz\tlong", "", true, 0, 1, -1, -1, 2},
        {"Point,Northing,Easting,Elevation,Desc", "", true, -1, -1, 1, 2, 3},
        {"x, y ,h", "", true, -1, -1, 1, 0, 2},
        {"North,East,Elev", "h=Elev", true, -1, -1, 0, 1, 2},
        {"id,Lat,b", "lon=B", true, 1, 2, -1, -1, -1},
        {"1,2,3", "lat=1,lon=2,h=3", false, 0, 1, -1, -1, 2},
        {"id,lat", "lon=7", true, -2, 0, 0, 0, 0},
        {"id,lat", "lon=b", true, -2, 0, 0, 0, 0},
        {"1,2", "lon=lat", false, -2, 0, 0, 0, 0},
        {"id,lat", "phi=1", true, -2, 0, 0, 0, 0},
    };
    FieldSplitter split;
    std::string error;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.first);
        const char delimiter = DetectDelimiter(c.first);
        ASSERT_TRUE(split.Split(c.first, delimiter, error));
        EXPECT_EQ(LooksLikeHeader(split.fields()), c.header);
        Layout l;
        if (c.lat == -2) {
            EXPECT_FALSE(MapColumns(split.fields(), c.header, c.columns, l, error));
            EXPECT_TRUE(error.starts_with("--columns: ")) << error;
            continue;
        }
        ASSERT_TRUE(MapColumns(split.fields(), c.header, c.columns, l, error)) << error;
        EXPECT_EQ((std::vector<int>{l.latitude, l.longitude, l.northing, l.easting, l.height}),
                  (std::vector<int>{c.lat, c.lon, c.north, c.east, c.height}));
    }
    // A data line is no header, nor are words that name no known column.
    for (const char* line : {"29.5,-95.25", "id,code,remark", "lat,29", "lat,,lon"}) {
        ASSERT_TRUE(split.Split(line, ',', error));
        EXPECT_FALSE(LooksLikeHeader(split.fields())) << line;
    }
}

// R / (R + h) with R = sqrt(M N), and k times it, against GeographicLib's
// radii and scale factor on the same cone (zone 4204, GRS 80).
TEST(Table, ElevationAndCombinedFactorsAgreeWithGeographicLib) {
    BatchProjection::ProjectionParameters p;
    std::string error;
    ASSERT_TRUE(BatchProjection::ZoneParameters(false, 4204, p, error)) << error;
    ASSERT_TRUE(BatchProjection::Setup(p, error)) << error;
    const double a = 6378137.0, f = 1 / 298.257222101;
    const GeographicLib::Ellipsoid ellipsoid(a, f);
    const GeographicLib::LambertConformalConic cone(a, f, 28 + 23 / 60.0, 30 + 17 / 60.0, 1.0);
    for (const double lat : {26.1, 28.4, 30.9}) {
        for (const double h : {-30.0, 0.0, 150.0, 4400.0}) {
            for (const double unitsPerMetre : {1.0, 3937.0 / 1200}) {
                BatchConvert::Point point = BatchConvert::Forward(lat, -98.25, unitsPerMetre);
                BatchConvert::AddHeight(point, h * unitsPerMetre, unitsPerMetre);
                double x, y, gamma, k;
                cone.Forward(-99, lat, -98.25, x, y, gamma, k);
                const double R = std::sqrt(ellipsoid.MeridionalCurvatureRadius(lat) *
                                           ellipsoid.TransverseCurvatureRadius(lat));
                EXPECT_NEAR(point.elevationFactor, R / (R + h), 1e-12) << lat << " " << h;
                EXPECT_NEAR(point.combinedFactor, k * R / (R + h), 2e-10) << lat << " " << h;
            }
        }
    }
}

}  // namespace
