// The Lambert conic grids of the EPSG registry: what the reader refuses, and every grid it takes against
// PROJ's own transformation of the same CRS.
#include <gtest/gtest.h>
#include <proj.h>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iostream>
#include <map>
#include <memory>
#include <string>
#include <vector>
#include "core/crs/Grids.h"
#include "core/crs/Registry.h"
#include "core/crs/WindowFields.h"
#include "core/setup/Antimeridian.h"
#include "engine/Tarvane_Module.h"

using namespace Tarvane_Module;

namespace {
std::string Refusal(const std::function<void()>& read) {
    try { read(); } catch (const Epsg::Error& e) { return e.what(); }
    return "(taken)";
}

TEST(Registry, RefusesWhatItCannotTakeInTheUsersTerms) {
    const std::string give = ": give the code of a Lambert conformal conic grid";
    const Epsg::Registry registry;
    const std::pair<const char*, std::string> cases[] = {  // code, message
        {"26915", "EPSG:26915 is not a Lambert conformal conic grid (Transverse Mercator)"},
        {"EPSG:4326", "EPSG:4326 (WGS 84) is a geographic CRS, not a grid" + give},
        {"99999", "EPSG:99999 is not in the EPSG registry"},
        {"3359", "EPSG:3359 (NAD83(HARN) / North Carolina (ftUS)) is deprecated; the registry replaces it with "
                 "EPSG:3404 (NAD83(HARN) / North Carolina (ftUS))"},
        {"31300", "EPSG:31300 (BD72 / Belge Lambert 72) uses Lambert Conic Conformal (2SP Belgium), a variant that "
                  "TARVANE does not take: only the 1SP and 2SP methods"},
        {"5703", "EPSG:5703 (NAVD88 height) is not a projected CRS" + give},
        {"32040x", "\"32040x\" is not an EPSG code: give its number, such as 32040"},
    };
    for (const auto& [code, message] : cases) EXPECT_EQ(Refusal([&] { registry.Read(code); }), message);
    // The window's rows: southern parallel, then northern, whichever the registry names first.
    ProjectionSetup::ParameterFields fields;
    std::string reason;
    ASSERT_TRUE(Epsg::WindowFields(registry.Read("2278"), '.', fields, reason)) << reason;
    EXPECT_EQ(fields.parallel[1] + fields.parallel[2], "28\u00B023'00.000\"N30\u00B017'00.000\"N");
    // No proj.db where PROJ_DATA points, then one that is no database.
    const std::string db = "PROJ's database of coordinate reference systems, proj.db, ";
    const std::filesystem::path folder = std::filesystem::temp_directory_path() / "tarvane-no-registry";
    std::filesystem::create_directories(folder);
    setenv("PROJ_DATA", folder.c_str(), 1);
    const std::string advice = "): install the package proj-data, or set PROJ_DATA to the folder that holds proj.db";
    EXPECT_EQ(Refusal([] { Epsg::Registry(); }), db + "cannot be opened (Cannot find proj.db" + advice);
    std::ofstream(folder / "proj.db") << "not a database";
    const std::string unreadable = Refusal([] { Epsg::Registry(); });
    EXPECT_TRUE(unreadable.starts_with(db + "cannot be opened (SQLite") && unreadable.ends_with(advice)) << unreadable;
    unsetenv("PROJ_DATA");
    std::filesystem::remove_all(folder);
}

// Every Lambert conic grid of the registry, as we read and set it up, against PROJ's transformation of the same CRS
// from its own geographic CRS at 5 x 5 points over the grid's area of use; and those the window takes, set up
// again from the texts its fields are given, as its initialize command reads them; each grid read back from the
// web page's file of them.
TEST(Registry, EveryLambertGridAgreesWithProj) {
    PJ_CONTEXT* ctx = proj_context_create();
    PROJ_CRS_LIST_PARAMETERS* query = proj_get_crs_list_parameters_create();  // leaves out the deprecated
    const PJ_TYPE projected = PJ_TYPE_PROJECTED_CRS;
    query->types = &projected, query->typesCount = 1;
    int count = 0;
    PROJ_CRS_INFO** list = proj_get_crs_info_list_from_database(ctx, "EPSG", query, &count);
    proj_get_crs_list_parameters_destroy(query);
    std::size_t lambert = 0;  // the grids of the two methods, every one of which the reader must take
    for (int i = 0; i < count; ++i) {
        const std::string_view method = list[i]->projection_method_name ? list[i]->projection_method_name : "";
        lambert += method == "Lambert Conic Conformal (1SP)" || method == "Lambert Conic Conformal (2SP)";
    }
    proj_crs_info_list_destroy(list);
    const std::vector<Epsg::Grid> listed = Epsg::Registry().List();
    EXPECT_EQ(listed.size(), lambert);
    // The grids as the web page has them: through the file the build writes, each line the same once read back.
    std::string file, error;
    for (const Epsg::Grid& grid : listed) file += Epsg::GridLine(grid);
    std::vector<Epsg::Grid> grids;
    ASSERT_TRUE(Epsg::ReadGridLines(file, grids, error)) << error;
    ASSERT_EQ(grids.size(), listed.size());
    for (std::size_t k = 0; k < grids.size(); ++k) EXPECT_EQ(Epsg::GridLine(grids[k]), Epsg::GridLine(listed[k]));
    struct Worst { double metres = 0, degrees = 0; int grids = 0; std::string at; };
    std::map<std::string, Worst> worst;  // by method, State Plane apart
    for (const Epsg::Grid& grid : grids) {
        ProjectionSetup::ParameterFields fields;
        std::string reason;
        const bool window = Epsg::WindowFields(grid, '.', fields, reason);
        for (int pass = 0; pass < (window ? 2 : 1); ++pass) {
        ProjectionSetup::Setup(pass ? ProjectionSetup::ReadFields(fields, [](const std::string& m) { ADD_FAILURE() << m; })
                                    : grid.parameters);
        const std::string code = std::to_string(grid.code);
        // PROJ's way: from the geographic CRS's unit and prime meridian to easting and northing in the grid unit.
        std::vector<std::unique_ptr<PJ, PJ* (*)(PJ*)>> owned;
        const auto own = [&](PJ* object) { return owned.emplace_back(object, proj_destroy).get(); };
        PJ* crs = own(proj_create_from_database(ctx, "EPSG", code.c_str(), PJ_CATEGORY_CRS, 0, nullptr));
        PJ* base = own(proj_crs_get_geodetic_crs(ctx, crs));
        PJ* op = own(proj_normalize_for_visualization(ctx, own(proj_create_crs_to_crs_from_pj(ctx, base, crs, 0, 0))));
        double unit = 0, pm = 0, pmUnit = 0, west = 0, south = 0, east = 0, north = 0;
        proj_cs_get_axis_info(ctx, own(proj_crs_get_coordinate_system(ctx, base)), 0, 0, 0, 0, &unit, 0, 0, 0);
        proj_prime_meridian_get_parameters(ctx, own(proj_get_prime_meridian(ctx, base)), &pm, &pmUnit, nullptr);
        proj_get_area_of_use(ctx, crs, &west, &south, &east, &north, nullptr);
        east += east < west ? 360.0 : 0.0;  // across the antimeridian
        const bool statePlane = std::string(proj_get_name(own(proj_crs_get_coordoperation(ctx, crs)))).starts_with("SPCS");
        const double perMetre = grid.parameters.unitsPerMetre;
        Worst& w = worst[(pass ? "window, " : "") + std::string(statePlane ? "State Plane, " : "") +
                         (grid.parameters.oneParallel ? "1SP" : "2SP")];
        ++w.grids;
        for (int point = 0; point < 25; ++point) {
            const double lat = south + (north - south) * (point / 5) / 4.0;
            const double lon = std::remainder(west + (east - west) * (point % 5) / 4.0, 360.0);
            const double lonIn = (lon * kDegToRad - pm * pmUnit) / unit, latIn = lat * kDegToRad / unit;
            const PJ_COORD expected = proj_trans(op, PJ_FWD, proj_coord(lonIn, latIn, 0, 0));
            double easting = 0, northing = 0, latBack = 0, lonBack = 0;
            std::int16_t iterations = 0;
            GeoToGrid(lat * kDegToRad, Antimeridian::ToEngine(lon * kDegToRad), easting, northing);
            GridToGeo(expected.xy.x / perMetre, expected.xy.y / perMetre, latBack, lonBack, iterations);
            const double metres = std::hypot(easting - expected.xy.x / perMetre, northing - expected.xy.y / perMetre);
            const double degrees = std::max(std::fabs(latBack * kRadToDeg - lat),
                                            std::fabs(std::remainder(lonBack * kRadToDeg - lon, 360.0)));
            EXPECT_LE(metres, statePlane ? 0.001 : 0.003) << "EPSG:" << code << " at " << lat << " " << lon;
            EXPECT_LE(degrees, 5e-8) << "EPSG:" << code << " at " << lat << " " << lon;
            if (metres > w.metres) w.metres = metres, w.at = "EPSG:" + code;
            w.degrees = std::max(w.degrees, degrees);
        }
        }
    }
    proj_context_destroy(ctx);
    for (const auto& [method, w] : worst)
        std::cout << method << ": " << w.grids << " grids, largest difference " << w.metres * 1000 << " mm (" << w.at
                  << "), " << w.degrees << " degrees\n";
}
}  // namespace
