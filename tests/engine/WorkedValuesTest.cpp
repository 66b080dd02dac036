// Worked values of the engine: input, expected value, tolerance with its unit.
// The expected values are stored results, to all the digits they have.

#include "tests/engine/EngineTestSupport.h"

#include <gtest/gtest.h>

#include <array>
#include <bit>
#include <cmath>
#include <cstdint>
#include <string>

using namespace Tarvane_Module;
using tarvane_test::kDeg;

TEST(Datum, StoresEllipsoidExactly) {
    // The same ellipsoid from its published 1/f.
    struct Case { const char* name; double a; std::uint64_t e2Bits; double e, halfE, rf; };
    const Case cases[] = { // all exact: tolerance 0
        {"WGS84", 6378137.0, 0x3F7B6B90F1FE94F0, 0.08181919084262149, 0.04090959542131074, 298.257223563},
        {"NAD83", 6378137.0, 0x3F7B6B90F43EE47A, 0.08181919104281579, 0.040909595521407896, 298.257222101},
        {"NAD27", 6378206.4, 0x3F7BB973CBCCF91F, 0.08227185422493918, 0.04113592711246959, 294.9786982},
    };
    for (const Case& c : cases) {
        for (const bool byName : {true, false}) {
            State = {};
            byName ? SetDatum(c.name) : SetEllipsoid(c.a, c.rf);
            EXPECT_EQ(State.SemiMajorAxis, c.a) << c.name;
            EXPECT_EQ(std::bit_cast<std::uint64_t>(State.EccentricitySquared), c.e2Bits) << c.name;
            EXPECT_EQ(State.Eccentricity, c.e) << c.name;
            EXPECT_EQ(State.HalfEccentricity, c.halfE) << c.name;
        }
    }
    // Names compare exactly; an unknown one leaves the ellipsoid (and e, e/2
    // recomputed from it) as it was.  Each differs from NAD27 when loosened.
    for (const char* unknown : {"wgs84", "WGS84 ", " NAD83", "Nad83", "NAD8", ""}) {
        SetDatum("NAD27");
        const EngineState before = State;
        SetDatum(unknown);
        EXPECT_EQ(State, before) << '"' << unknown << '"';
    }
}

TEST(Datum, RadiiOfCurvature) {
    const double none = std::nan(""), tol = 5e-7; // m: half a unit of the sixth decimal
    struct Case { const char* datum; double latDeg, N, M; }; // metres, NaN: not given
    const Case cases[] = {
        {"WGS84", 45.0, 6388838.290121, none},           {"NAD83", 45.0, 6388838.290174, none},
        {"WGS84", 0.0, 6378137.0, 6335439.327293},       {"WGS84", 90.0, 6399593.625758, 6399593.625758},
        {"WGS84", -90.0, 6399593.625758, 6399593.625758}, {"NAD27", 45.0, 6389026.847164, 6367330.851945},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.datum) + " at " + std::to_string(c.latDeg));
        SetDatum(c.datum);
        const double lat = c.latDeg * kDeg, south = -lat;
        EXPECT_NEAR(PrimeVerticalRadius(lat), c.N, tol);
        if (!std::isnan(c.M)) { EXPECT_NEAR(MeridianRadius(lat), c.M, tol); }
        // A southern latitude gives the very same radii as the northern one.
        EXPECT_EQ(PrimeVerticalRadius(south), PrimeVerticalRadius(lat));
        EXPECT_EQ(MeridianRadius(south), MeridianRadius(lat));
    }
    SetDatum("WGS84");
    const double equator = 0.0;
    EXPECT_EQ(PrimeVerticalRadius(equator), 6378137.0); // N = a exactly
}

TEST(ConeSetup, IsometricLatitudeAndArcSin) {
    SetDatum("WGS84");
    const double zero = 0.0, one = 1.0, minusOne = -1.0, half = 0.5;
    // ln(tan(0.7853981633975)) rather than 0: the constant sits 5.2e-14 above pi/4.
    EXPECT_NEAR(IsometricLatitude(zero), 1.03e-13, 0.005e-13); // rad
    EXPECT_EQ(ArcSin(one), 1.5707963267948966);                // rad, exact
    EXPECT_EQ(ArcSin(minusOne), -1.5707963267948966);          // rad, exact
    EXPECT_NEAR(ArcSin(half), 0.523598775598299, 1e-15);       // rad
}

TEST(ConeSetup, TwoParallels33And45OnWGS84) {
    SetDatum("WGS84");
    const double p33 = 33 * kDeg, p45 = 45 * kDeg;
    double phi0 = 0.0, k0 = 0.0;
    EquivalentParallel(p33, p45, phi0, k0);
    EXPECT_NEAR(std::sin(phi0), 0.630496251389, 5e-13); // n
    EXPECT_NEAR(phi0, 0.682192386460, 5e-13);           // rad
    EXPECT_NEAR(k0, 0.994539646671, 5e-13);

    // The order of the parallels does not matter (k0 is taken at parallel1).
    double phi0Swapped = 0.0, k0Swapped = 0.0;
    EquivalentParallel(p45, p33, phi0Swapped, k0Swapped);
    EXPECT_EQ(phi0Swapped, phi0);
    EXPECT_NEAR(k0Swapped, k0, 1e-10);

    const double origin = 23 * kDeg, cm = -96 * kDeg, zero = 0.0;
    SetupProjection(origin, p33, p45, cm, zero, zero);
    EXPECT_EQ(State.ConeParallel, phi0);
    EXPECT_NEAR(PointScaleFactor(p33), 1.0, 1e-10);
    EXPECT_NEAR(PointScaleFactor(p45), 1.0, 1e-10);
    EXPECT_NEAR(PointScaleFactor(phi0), k0, 1e-15);
}

TEST(ConeSetup, OneParallelHoldsOriginAndScaleExactly) {
    SetDatum("NAD83");
    const double phi0 = 45 * kDeg, k0 = 0.9996, cm = 10 * kDeg, fn = 1000.0, fe = 500000.0;
    SetupSingleParallel(phi0, k0, cm, fn, fe);
    double E = 0.0, N = 0.0;
    GeoToGrid(phi0, cm, E, N);
    EXPECT_EQ(E, fe);
    EXPECT_EQ(N, fn);
    EXPECT_NEAR(PointScaleFactor(phi0), k0, 1e-15);
}

TEST(Conversion, ForwardAndInverseWorkedExamples) {
    const double none = std::nan("");
    struct Case {
        const char* what; const char* datum;
        double originDeg, p1Deg, p2Deg, cmDeg, fn, fe, latDeg, lonDeg; // cone, point
        double E, N, tolGrid;     // m
        double backLat, tolBack;  // rad (NaN: not given)
        int passes;               // -1: not given
        double k, tolK;           // point scale factor (NaN: not given)
    };
    const Case cases[] = {
        {"round trip 40N 80W", "WGS84", 23, 33, 45, -96, 0, 0, 40, -80,
         1352003.253, 2016449.325, 5e-4, 0.6981317006966, 5e-14, 5, none, 0},
        {"southern cone, origin", "WGS84", -23, -33, -45, 20, 10000000, 500000, -23, 20,
         500000, 10000000, 1e-6, none, 0, -1, none, 0},
        {"southern cone, 40S 25E", "WGS84", -23, -33, -45, 20, 10000000, 500000, -40, 25,
         924477.601, 8091200.626, 5e-4, none, 0, -1, none, 0},
        // USGS Professional Paper 1395 (Snyder 1987), Lambert conformal conic,
        // ellipsoidal example on Clarke 1866: x = 1894410.9 m, y = 1564649.5 m, k = 0.9970171.
        {"Clarke 1866 35N 75W", "NAD27", 23, 33, 45, -96, 0, 0, 35, -75,
         1894410.9, 1564649.5, 0.05, none, 0, -1, 0.9970171, 5e-8},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        SetDatum(c.datum);
        const double cm = c.cmDeg * kDeg;
        SetupProjection(c.originDeg * kDeg, c.p1Deg * kDeg, c.p2Deg * kDeg, cm, c.fn, c.fe);
        const double lat = c.latDeg * kDeg, lon = c.lonDeg * kDeg;
        double E = 0.0, N = 0.0;
        GeoToGrid(lat, lon, E, N);
        EXPECT_NEAR(E, c.E, c.tolGrid);
        EXPECT_NEAR(N, c.N, c.tolGrid);

        double backLat = 0.0, backLon = 0.0;
        std::int16_t passes = 0;
        GridToGeo(E, N, backLat, backLon, passes);
        // The inverse takes powers of 2.718281828 where the forward took true
        // logarithms, so latitude comes back within about 1e-10 rad only.
        EXPECT_NEAR(backLat, lat, 2e-10); // rad
        EXPECT_NEAR(backLon, lon, 1e-14); // rad
        if (!std::isnan(c.backLat)) { EXPECT_NEAR(backLat, c.backLat, c.tolBack); }
        if (c.passes >= 0) { EXPECT_EQ(passes, c.passes); }
        if (!std::isnan(c.k)) { EXPECT_NEAR(PointScaleFactor(lat), c.k, c.tolK); }
        // Any point on the central meridian lies on the false easting exactly.
        GeoToGrid(lat + 5 * kDeg, cm, E, N);
        EXPECT_EQ(E, c.fe);
    }
}

TEST(ZoneTable, EveryRowInBothSystems) {
    // Angles: the stored radians, exact (tolerance 0).  False values: 1983, m.
    struct Row { std::int16_t zone; const char* name; double cm, origin1983, origin1927, south, north, fe, fn; };
    const Row rows[] = {
        {903, "Florida Northern", -1.4748032179353054, 0.5061454830783889, 0.5061454830783889,
         0.5163265703811081, 0.5366887449882917, 600000, 0},
        {1701, "Louisiana Northern", -1.614429558094861, 0.5323254218583056, 0.5352343039455447,
         0.5439609502055169, 0.5701408889854337, 1000000, 0},
        {1702, "Louisiana Southern", -1.5940673834876775, 0.49741883681841664, 0.5003277189056559,
         0.5113814708343722, 0.5358160803622944, 1000000, 0},
        {1703, "Louisiana Offshore", -1.5940673834876775, 0.4450589592585833, 0.4479678413458225,
         0.45669448760579473, 0.48578330847120527, 1000000, 0},
        {4203, "Texas Central", -1.7511470161671776, 0.5177810114256003, 0.5177810114256003,
         0.5256349930595753, 0.5564691431769803, 700000, 3000000},
        {4204, "Texas South Central", -1.7278759594745, 0.48578330847120527, 0.48578330847120527,
         0.4953826193571747, 0.5285438751450692, 600000, 4000000},
        {4205, "Texas Southern", -1.7191493132145277, 0.4479678413458225, 0.4479678413458225,
         0.45669448760579473, 0.48578330847120527, 300000, 5000000},
    };
    for (const Row& r : rows) {
        for (const std::int16_t is1927 : {0, -1}) {
            SCOPED_TRACE(std::to_string(r.zone) + (is1927 ? " 1927" : " 1983"));
            std::string name;
            double south = 0, north = 0, origin = 0, cm = 0, fe = -1, fn = -1;
            GetZoneParameters(is1927, r.zone, name, south, north, origin, cm, fe, fn);
            EXPECT_EQ(name, r.name);
            EXPECT_EQ(cm, r.cm);
            EXPECT_EQ(origin, is1927 ? r.origin1927 : r.origin1983);
            EXPECT_EQ(south, r.south);
            EXPECT_EQ(north, r.north);
            EXPECT_EQ(fe, is1927 ? 2000000.0 : r.fe); // grid unit: m (1983), US ft (1927)
            EXPECT_EQ(fn, is1927 ? 0.0 : r.fn);
        }
    }
}

TEST(ZoneTable, UnknownZoneWritesOnlyThe1927FalseValues) {
    for (const std::int16_t zone : {0, 904, -903, 4206, 32767}) {
        for (const std::int16_t is1927 : {0, -1}) {
            std::string name = "as passed";
            double south = 1, north = 2, origin = 3, cm = 4, fe = 5, fn = 6;
            GetZoneParameters(is1927, zone, name, south, north, origin, cm, fe, fn);
            EXPECT_EQ(name, "as passed") << zone;
            EXPECT_EQ((std::array{south, north, origin, cm}), (std::array{1.0, 2.0, 3.0, 4.0})) << zone;
            EXPECT_EQ(fe, is1927 ? 2000000.0 : 5.0) << zone;
            EXPECT_EQ(fn, is1927 ? 0.0 : 6.0) << zone;
        }
    }
}
