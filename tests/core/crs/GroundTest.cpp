// What PROJ gives the ground and grid work: geoid heights as cct gives
// them, a design's definitions that PROJ's own transformation follows as
// our engine does, and designs no worse than the published low-distortion
// zones of the registry at points over their areas.
#include <gtest/gtest.h>
#include <proj.h>

#include <cmath>
#include <cstdio>
#include <sstream>
#include <string>

#include "core/convert/Conversion.h"
#include "core/crs/Definition.h"
#include "core/crs/Geoid.h"
#include "core/crs/Registry.h"
#include "core/ground/Design.h"

namespace {

// N of EGM96 within a millimetre of cct's, at points across the world and
// near the edges of the grid.
TEST(Ground, GeoidHeightsAreCcts) {
    const double points[][2] = {{29.5, -95.25}, {44.06, -121.31}, {-33.87, 151.21}, {52.0, 179.99},
                                {-89.9, 10.0},  {89.9, -179.99}, {0.0, 0.0},       {64.1, -21.9}};
    std::string input;
    for (const auto& p : points) input += std::to_string(p[1]) + " " + std::to_string(p[0]) + " 0 0\n";
    const std::string command =
        "printf -- '" + input + "' | cct -d 6 +proj=vgridshift +grids=egm96_15.gtx +multiplier=1";
    FILE* cct = popen(command.c_str(), "r");
    ASSERT_TRUE(cct);
    const auto model = Geoid::Open("EGM96").open();
    ASSERT_TRUE(model);
    for (const auto& p : points) {
        double lon = 0, lat = 0, expected = 0, N = 0;
        ASSERT_EQ(std::fscanf(cct, "%lf %lf %lf %*f", &lon, &lat, &expected), 3);
        std::string why;
        ASSERT_TRUE(model->Height(p[0], p[1], N, why)) << why;
        EXPECT_NEAR(N, expected, 0.001) << p[0] << " " << p[1];
    }
    pclose(cct);
}

// PROJ's transformation to the PROJ string and to the WKT2 of a grid gives
// the engine's easting and northing within a millimetre.
TEST(Ground, DefinitionsConvertAsTheEngine) {
    using P = ProjectionSetup::ProjectionParameters;
    const struct {
        P p;
        const char* geographic;
    } kGrids[] = {
        {{Datum::NAD83, {}, 1.0, true, 44 + 22 / 60.0, 0, 0, 1.000091, -(120 + 50 / 60.0), 340000, 390000}, "EPSG:4269"},
        {{Datum::WGS84, {}, kFeetPerMetre, true, -33.5, 0, 0, 1.00002, 151, 60000, 70000}, "EPSG:4326"},
        {{Datum::NAD27, {}, kFeetPerMetre, false, 27 + 50 / 60.0, 28 + 23 / 60.0, 30 + 17 / 60.0, 1, -99, 0, 2000000},
         "EPSG:4267"},
    };
    PJ_CONTEXT* pj = proj_context_create();
    for (const auto& g : kGrids) {
        const Epsg::CrsText text = Epsg::DefinitionOf(g.p, "test grid");
        for (const std::string& definition : {text.projString, text.wkt2}) {
            PJ* raw = proj_create_crs_to_crs(pj, g.geographic, definition.c_str(), nullptr);
            ASSERT_TRUE(raw) << definition;
            PJ* transform = proj_normalize_for_visualization(pj, raw);
            ProjectionSetup::Setup(g.p);
            for (const double dlat : {-0.3, 0.0, 0.4}) {
                for (const double dlon : {-0.5, 0.2}) {
                    const double lat = g.p.originLat + dlat, lon = g.p.centralMeridian + dlon;
                    const Conversion::Point ours = Conversion::Forward(lat, lon, g.p.unitsPerMetre);
                    const PJ_COORD c = proj_trans(transform, PJ_FWD, proj_coord(lon, lat, 0, 0));
                    EXPECT_NEAR(c.xy.x, ours.easting, 1e-3) << definition;
                    EXPECT_NEAR(c.xy.y, ours.northing, 1e-3) << definition;
                }
            }
            proj_destroy(transform);
            proj_destroy(raw);
        }
    }
    proj_context_destroy(pj);
}

// The Oregon low-distortion zones, at points spread over their areas at
// the height their k0 suits: the design's largest distortion is no worse.
TEST(Ground, DesignsAreNoWorseThanOregonsPublishedZones) {
    const Epsg::Registry registry;
    for (const char* code : {"6794", "6798", "6806"}) {
        const Epsg::Grid zone = registry.Read(code);
        const double h = 6371000.0 * (zone.parameters.scaleFactor - 1.0);
        std::vector<Ground::ProjectPoint> points;
        for (int i = 0; i <= 6; ++i)
            for (int j = 0; j <= 6; ++j)
                points.push_back({zone.south + i * (zone.north - zone.south) / 6,
                                  zone.west + j * (zone.east - zone.west) / 6, h, i * 7 + j, ""});
        const Ground::Distortion published = Ground::Measure(points, zone.parameters);
        const Ground::Design design = Ground::Propose(points, {Datum::NAD83, GridUnit::Metre, '.', &published});
        const Ground::Distortion ours = Ground::Measure(points, design.parameters);
        EXPECT_LE(ours.LargestAbs(), published.LargestAbs()) << code;
        std::printf("EPSG:%s at %.0f m: largest %.1f ppm, the design's %.1f ppm (k0 %s, origin %s)\n", code, h,
                    published.LargestAbs(), ours.LargestAbs(), design.fields.parallel[1].c_str(),
                    design.fields.parallel[0].c_str());
    }
}

}  // namespace
