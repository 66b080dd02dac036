// The design of a low-distortion grid against what is known without it: the
// closed form k0 = (R + h) / R where every point lies on the parallel of
// origin at one height, and each point's distortion, co-ordinates and the
// best k0 and origin as GeographicLib's Lambert conic and radii give them.
#include <GeographicLib/Ellipsoid.hpp>
#include <GeographicLib/LambertConformalConic.hpp>
#include <gtest/gtest.h>

#include <cmath>
#include <random>

#include "core/ground/Design.h"
#include "core/text/AngleText.h"

namespace {

using Ground::ProjectPoint;

struct Shape {
    Datum datum;
    double a, f;
};
constexpr Shape kNAD83{Datum::NAD83, 6378137.0, 1 / 298.257222101};
constexpr Shape kWGS84{Datum::WGS84, 6378137.0, 1 / 298.257223563};
constexpr Shape kNAD27{Datum::NAD27, 6378206.4, 1 / 294.9786982};

double MeanRadius(const Shape& s, double lat) {
    const GeographicLib::Ellipsoid e(s.a, s.f);
    return std::sqrt(e.MeridionalCurvatureRadius(lat) * e.TransverseCurvatureRadius(lat));
}

// Every point on one parallel at one height: no latitude of origin does
// better than that parallel, and k0 = (R + h) / R to six decimals.
TEST(Design, FindsTheClosedFormOnTheParallelOfOrigin) {
    const struct {
        Shape shape;
        GridUnit unit;
        double lat, h;  // a whole minute; metres
    } kCases[] = {
        {kNAD83, GridUnit::Metre, 44 + 7 / 60.0, 1000},
        {kWGS84, GridUnit::USFeet, -(33 + 52 / 60.0), 50},
        {kNAD27, GridUnit::USFeet, 30 + 17 / 60.0, 2500},
    };
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.lat);
        std::vector<ProjectPoint> points;
        for (const double lon : {-121.5, -121.0, -120.4}) points.push_back({c.lat, lon, c.h, 0, ""});
        const Ground::Design d = Ground::Propose(points, {c.shape.datum, c.unit, '.', nullptr});
        const double R = MeanRadius(c.shape, c.lat);
        EXPECT_EQ(d.fields.parallel[0], HrHms(c.lat, AngleKind::Latitude, AngleStyle::Form, 3, '.'));
        EXPECT_EQ(d.parameters.scaleFactor, std::round((R + c.h) / R * 1e6) / 1e6);
        EXPECT_LE(Ground::Measure(points, d.parameters).LargestAbs(), 0.5);  // k0's rounding
    }
    EXPECT_THROW(Ground::Propose({{44, -121, 0, 1, ""}}, {}), Ground::DesignError);
}

// A project on rough ground: each point's distortion and co-ordinates are
// GeographicLib's on the designed cone; no k0 of six decimals and no
// neighbouring whole minute of origin does better; the false values are
// round, keep every co-ordinate positive, and keep 100 km from another
// grid's values.
TEST(Design, AgreesWithGeographicLibAndIsTheBestNearby) {
    std::mt19937 random(7);
    std::uniform_real_distribution<double> lat(43.8, 44.5), lon(-121.9, -120.9), h(200, 1800);
    std::vector<ProjectPoint> points;
    for (long k = 0; k < 60; ++k) points.push_back({lat(random), lon(random), h(random), k, ""});
    const GeographicLib::Ellipsoid ellipsoid(kNAD83.a, kNAD83.f);
    // The largest distortion on a cone, ppm, and the least that its origin allows with the best k0.
    const auto worst = [&](double origin, double k0, double& least) {
        const GeographicLib::LambertConformalConic cone(kNAD83.a, kNAD83.f, origin, 1.0);
        double lo = 1e9, hi = -1e9;
        for (const ProjectPoint& p : points) {
            double x, y, gamma, k;
            cone.Forward(0, p.latitude, 0, x, y, gamma, k);
            const double R = MeanRadius(kNAD83, p.latitude);
            lo = std::min(lo, k * R / (R + p.height)), hi = std::max(hi, k * R / (R + p.height));
        }
        least = (hi - lo) / (hi + lo) * 1e6;
        return std::max(k0 * hi - 1, 1 - k0 * lo) * 1e6;
    };
    Ground::Distortion other = Ground::Measure(points, {Datum::NAD83, {}, 1.0, true, 44, 0, 0, 1.0, -121.4, 0, 0});
    for (const bool apart : {false, true}) {
        const Ground::Design d = Ground::Propose(points, {Datum::NAD83, GridUnit::Metre, '.', apart ? &other : nullptr});
        const ProjectionSetup::ProjectionParameters& p = d.parameters;
        const Ground::Distortion ours = Ground::Measure(points, p);
        const GeographicLib::LambertConformalConic cone(kNAD83.a, kNAD83.f, p.originLat, p.scaleFactor);
        for (std::size_t k = 0; k < points.size(); ++k) {
            double x, y, gamma, scale;
            cone.Forward(p.centralMeridian, points[k].latitude, points[k].longitude, x, y, gamma, scale);
            const double R = MeanRadius(kNAD83, points[k].latitude);
            EXPECT_NEAR(ours.points[k].ppm, (scale * R / (R + points[k].height) - 1) * 1e6, 1e-3);
            EXPECT_NEAR(ours.points[k].easting, x + p.falseEasting, 1e-3);
            EXPECT_NEAR(ours.points[k].northing, y + p.falseNorthing, 1e-3);
            EXPECT_GE(std::min(ours.points[k].easting, ours.points[k].northing), apart ? 100000 : 20000);
        }
        double least = 0, neighbour = 0;
        const double designed = worst(p.originLat, p.scaleFactor, least);
        EXPECT_NEAR(designed, ours.LargestAbs(), 1e-3);
        EXPECT_LE(designed, worst(p.originLat, p.scaleFactor + 1e-6, least) + 1e-9);
        EXPECT_LE(designed, worst(p.originLat, p.scaleFactor - 1e-6, least) + 1e-9);
        for (const double step : {-1 / 60.0, 1 / 60.0}) {
            worst(p.originLat + step, 1, neighbour);
            worst(p.originLat, 1, least);
            EXPECT_LE(least, neighbour + 1e-9);
        }
        EXPECT_EQ(std::fmod(p.falseEasting, 10000) + std::fmod(p.falseNorthing, 10000), 0);
    }
}

}  // namespace
