// The engine against GeographicLib's LambertConformalConic: every State Plane
// zone in both systems and random user-defined cones, 300 random points each.
// Tolerances: easting, northing 1 mm; point scale factor 1e-9; latitude and
// longitude back, meridian convergence 1e-8 and 1e-9 degrees.  (The powers of
// 2.718281828 alone cost up to about 1e-4 m forward and 6e-9 degrees inverse.)

#include "tests/engine/EngineTestSupport.h"

#include <GeographicLib/LambertConformalConic.hpp>
#include <GeographicLib/Math.hpp>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <random>
#include <sstream>
#include <string>

using namespace Tarvane_Module;
using GeographicLib::LambertConformalConic;
using GeographicLib::Math;
using tarvane_test::kDeg;

namespace {

struct Ellipsoid { const char* datum; double a, inverseFlattening; };
const Ellipsoid kWGS84{"WGS84", 6378137.0, 298.257223563};
const Ellipsoid kNAD83{"NAD83", 6378137.0, 298.257222101};
const Ellipsoid kNAD27{"NAD27", 6378206.4, 294.9786982};

constexpr int kPointsPerCone = 300;

// GeographicLib turns degrees into radians with the full pi/180, so it is
// handed radians / (pi/180): the very angle the engine used.
double toDegrees(double rad) { return rad / Math::degree(); }

struct Worst { double grid = 0, scale = 0, angle = 0, convergence = 0; };

// Random points within 3 degrees of (lat0, lambda0) through the engine as set
// up now and through `lcc` (false values fe, fn, origin at lat0).
Worst compare(const LambertConformalConic& lcc, double lat0, double lambda0, double fe, double fn,
              std::mt19937_64& random) {
    const double lon0 = toDegrees(lambda0);
    double x0 = 0, y0 = 0; // GeographicLib's own northing of the origin
    lcc.Forward(lon0, toDegrees(lat0), lon0, x0, y0);
    std::uniform_real_distribution<double> offset(-3.0, 3.0); // degrees
    Worst w;
    for (int i = 0; i < kPointsPerCone; ++i) {
        const double lat = lat0 + offset(random) * kDeg, lon = lambda0 + offset(random) * kDeg;
        double E = 0, N = 0;
        GeoToGrid(lat, lon, E, N);
        double x = 0, y = 0, gamma = 0, k = 0;
        lcc.Forward(lon0, toDegrees(lat), toDegrees(lon), x, y, gamma, k);
        w.grid = std::max({w.grid, std::abs(E - (x + fe)), std::abs(N - (y - y0 + fn))});
        w.scale = std::max(w.scale, std::abs(PointScaleFactor(lat) - k));
        w.convergence = std::max(w.convergence, std::abs(toDegrees(GridConvergence(lon)) - gamma));

        double backLat = 0, backLon = 0, glLat = 0, glLon = 0;
        std::int16_t passes = 0;
        GridToGeo(E, N, backLat, backLon, passes);
        lcc.Reverse(lon0, E - fe, N - fn + y0, glLat, glLon);
        w.angle = std::max({w.angle, std::abs(toDegrees(backLat) - glLat),
                            std::abs(Math::AngDiff(glLon, toDegrees(backLon)))});
    }
    return w;
}

void expectWithinTolerances(const Worst& w) {
    EXPECT_LE(w.grid, 1e-3) << "metres";
    EXPECT_LE(w.scale, 1e-9);
    EXPECT_LE(w.angle, 1e-8) << "degrees";
    EXPECT_LE(w.convergence, 1e-9) << "degrees";
}

} // namespace

TEST(Oracle, EveryStatePlaneZoneInBothSystems) {
    std::mt19937_64 random(1983); // fixed start value: the same points every run
    for (const std::int16_t zone : {903, 1701, 1702, 1703, 4203, 4204, 4205}) {
        for (const std::int16_t is1927 : {std::int16_t{0}, std::int16_t{-1}}) {
            SCOPED_TRACE(std::to_string(zone) + (is1927 ? " 1927" : " 1983"));
            std::string name;
            double south = 0, north = 0, origin = 0, cm = 0, fe = 0, fn = 0;
            GetZoneParameters(is1927, zone, name, south, north, origin, cm, fe, fn);
            if (is1927) { // US survey feet to metres, as the window does
                fn = fn / 3.28083333333;
                fe = fe / 3.28083333333;
            }
            const Ellipsoid& ell = is1927 ? kNAD27 : kNAD83;
            SetDatum(ell.datum);
            SetupProjection(origin, south, north, cm, fn, fe);
            const LambertConformalConic lcc(ell.a, 1 / ell.inverseFlattening, toDegrees(south), toDegrees(north), 1.0);
            expectWithinTolerances(compare(lcc, origin, cm, fe, fn, random));
        }
    }
}

TEST(Oracle, RandomUserDefinedCones) {
    std::mt19937_64 random(4205); // fixed start value: the same cones every run
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    const auto between = [&](double lo, double hi) { return lo + (hi - lo) * unit(random); };
    const Ellipsoid* ellipsoids[] = {&kWGS84, &kNAD83, &kNAD27};
    for (int cone = 0; cone < 32; ++cone) {
        const Ellipsoid& ell = *ellipsoids[cone % 3];
        const double hemisphere = cone % 4 < 2 ? 1.0 : -1.0; // north, south
        const bool twoParallels = cone % 2 == 0;
        const double cm = between(-170, 170) * kDeg, fe = between(0, 1e6), fn = between(0, 1e7);
        const double f = 1 / ell.inverseFlattening;
        std::ostringstream trace;
        trace.precision(17);
        SetDatum(ell.datum);
        if (twoParallels) {
            const double p1Deg = between(15, 63), p2Deg = p1Deg + between(2, 12);
            const double p1 = hemisphere * p1Deg * kDeg, p2 = hemisphere * p2Deg * kDeg;
            const double origin = hemisphere * between(p1Deg - 3, p2Deg + 3) * kDeg;
            trace << ell.datum << " parallels " << p1 << ", " << p2 << " origin " << origin;
            SCOPED_TRACE(trace.str());
            SetupProjection(origin, p2, p1, cm, fn, fe); // the order of the parallels does not matter
            const LambertConformalConic lcc(ell.a, f, toDegrees(p1), toDegrees(p2), 1.0);
            expectWithinTolerances(compare(lcc, origin, cm, fe, fn, random));
        } else {
            const double phi0 = hemisphere * between(15, 70) * kDeg, k0 = between(0.999, 1.0);
            trace << ell.datum << " parallel " << phi0 << " k0 " << k0;
            SCOPED_TRACE(trace.str());
            SetupSingleParallel(phi0, k0, cm, fn, fe);
            const LambertConformalConic lcc(ell.a, f, toDegrees(phi0), k0);
            expectWithinTolerances(compare(lcc, phi0, cm, fe, fn, random));
        }
    }
}
