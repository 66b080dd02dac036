// Survey files without the program around them: which column holds what,
// and the ground-to-grid factors against GeographicLib's radii.
#include <gtest/gtest.h>

#include <GeographicLib/Ellipsoid.hpp>
#include <GeographicLib/LambertConformalConic.hpp>

#include "cli/BatchConvert.h"
#include "cli/BatchProjection.h"
#include "cli/Table.h"

namespace {

using namespace BatchInput;

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
