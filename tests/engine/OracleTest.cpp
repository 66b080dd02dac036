// The engine against GeographicLib's LambertConformalConic: every State Plane zone in both systems and random
// cones, 300 random points within 3 degrees of the origin each.  Tolerances: easting, northing 0.2 mm; point scale
// factor 1e-10; latitude and longitude back 1e-8 degrees; meridian convergence 1e-12 degrees.  (The powers of
// 2.718281828 alone cost up to about 7e-5 m forward and 7e-9 degrees inverse.)
#include "core/setup/Units.h"
#include "engine/Tarvane_Module.h"

#include <GeographicLib/LambertConformalConic.hpp>
#include <GeographicLib/Math.hpp>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>
#include <string>
#include <vector>

using namespace Tarvane_Module;
using GeographicLib::LambertConformalConic, GeographicLib::Math;

TEST(Oracle, EveryStatePlaneZoneAndRandomCones) {
    struct Ellipsoid { const char* datum; double a, inverseFlattening; };
    const Ellipsoid ellipsoids[] = {{"WGS84", 6378137.0, 298.257223563}, {"NAD83", 6378137.0, 298.257222101},
                                    {"NAD27", 6378206.4, 294.9786982}};
    struct Cone { const Ellipsoid& ell; double origin, p1, p2, k0, cm, fe, fn; }; // p2 NaN: one parallel, scale k0
    std::vector<Cone> cones;
    for (const StatePlaneZone& zone : StatePlaneZones()) {
        for (const std::int16_t is1927 : {0, -1}) {
            std::string name;
            double south = 0, north = 0, origin = 0, cm = 0, fe = 0, fn = 0;
            GetZoneParameters(is1927, zone.number, name, south, north, origin, cm, fe, fn);
            const double perMetre = is1927 ? kFeetPerMetre : 1.0; // 1927: US survey feet
            cones.push_back({ellipsoids[is1927 ? 2 : 1], origin, south, north, 1.0, cm, fe / perMetre, fn / perMetre});
        }
    }
    std::mt19937_64 random(4205); // a fixed start: the same cones and points every run
    const auto between = [&](double lo, double hi) { return std::uniform_real_distribution<double>(lo, hi)(random); };
    for (int i = 0; i < 32; ++i) { // two parallels (in either order) and one in turn, north twice, then south twice
        const double sign = i % 4 < 2 ? 1.0 : -1.0, p1 = between(15, 63), p2 = p1 + between(2, 12);
        cones.push_back({ellipsoids[i % 3], sign * between(p1 - 3, p2 + 3) * kDegToRad, sign * p2 * kDegToRad,
                         i % 2 ? std::nan("") : sign * p1 * kDegToRad, between(0.999, 1.0),
                         between(-170, 170) * kDegToRad, between(0, 1e6), between(0, 1e7)});
    }
    // GeographicLib turns degrees into radians with the full pi/180: it is handed the very angle the engine used.
    const auto deg = [](double rad) { return rad / Math::degree(); };
    std::uniform_real_distribution<double> offset(-3 * kDegToRad, 3 * kDegToRad);
    for (const Cone& c : cones) {
        SCOPED_TRACE(std::string(c.ell.datum) + " parallels " + std::to_string(c.p1) + ", " + std::to_string(c.p2) +
                     " origin " + std::to_string(c.origin) + " k0 " + std::to_string(c.k0));
        const double f = 1 / c.ell.inverseFlattening, lat0 = std::isnan(c.p2) ? c.p1 : c.origin;
        SetDatum(c.ell.datum);
        std::isnan(c.p2) ? SetupSingleParallel(c.p1, c.k0, c.cm, c.fn, c.fe)
                         : SetupProjection(c.origin, c.p1, c.p2, c.cm, c.fn, c.fe);
        const LambertConformalConic lcc = std::isnan(c.p2) ? LambertConformalConic(c.ell.a, f, deg(c.p1), c.k0)
                                                           : LambertConformalConic(c.ell.a, f, deg(c.p1), deg(c.p2), 1.0);
        double x0 = 0, y0 = 0, grid = 0, scale = 0, angle = 0, convergence = 0; // the worst differences
        lcc.Forward(deg(c.cm), deg(lat0), deg(c.cm), x0, y0);                 // the origin
        for (int i = 0; i < 300; ++i) {
            const double lat = lat0 + offset(random), lon = c.cm + offset(random);
            double E = 0, N = 0, x = 0, y = 0, gamma = 0, k = 0, backLat = 0, backLon = 0, lcLat = 0, lcLon = 0;
            std::int16_t passes = 0;
            GeoToGrid(lat, lon, E, N);
            GridToGeo(E, N, backLat, backLon, passes);
            lcc.Forward(deg(c.cm), deg(lat), deg(lon), x, y, gamma, k);
            lcc.Reverse(deg(c.cm), E - c.fe, N - c.fn + y0, lcLat, lcLon);
            grid = std::max({grid, std::abs(E - (x + c.fe)), std::abs(N - (y - y0 + c.fn))});
            scale = std::max(scale, std::abs(PointScaleFactor(lat) - k));
            angle = std::max({angle, std::abs(deg(backLat) - lcLat), std::abs(Math::AngDiff(lcLon, deg(backLon)))});
            convergence = std::max(convergence, std::abs(deg(GridConvergence(lon)) - gamma));
        }
        EXPECT_LE(grid, 2e-4) << "m";
        EXPECT_LE(scale, 1e-10);
        EXPECT_LE(angle, 1e-8) << "degrees";
        EXPECT_LE(convergence, 1e-12) << "degrees";
    }
}
