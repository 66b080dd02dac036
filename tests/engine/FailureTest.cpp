// Failures of the engine: the kind raised at the failing step, and what the
// record and the out-arguments hold afterwards (written before the step: new;
// after it: old).

#include "tests/engine/EngineTestSupport.h"

#include <gtest/gtest.h>

#include <array>
#include <bit>
#include <cstdint>
#include <limits>
#include <string>

using namespace Tarvane_Module;
using tarvane_test::kDeg;

namespace {

const double kNaN = std::numeric_limits<double>::quiet_NaN();
const double kInf = std::numeric_limits<double>::infinity();

// What a call raised: "none", or the kind, marked when it is the arcsine's own error.
template <class F> std::string raised(F&& f) {
    try {
        f();
    } catch (const ArithmeticError& e) {
        static const char* const kinds[] = {"InvalidOperation", "DivisionByZero", "Overflow", "InvalidArgument"};
        return kinds[static_cast<int>(e.kind())] +
               std::string(dynamic_cast<const ArcSinDomainError*>(&e) ? " (arcsine)" : "");
    }
    return "none";
}

using Fields = std::array<double, 19>; // the record's fields in order

// The WGS84 ellipsoid and cone fields 105.0 ... 119.0, which no set-up makes,
// so that every field written shows.
void markRecord() {
    SetDatum("WGS84");
    Fields f = std::bit_cast<Fields>(State);
    for (std::size_t i = 4; i < f.size(); ++i) f[i] = 101.0 + static_cast<double>(i);
    State = std::bit_cast<EngineState>(f);
}

// One character per field: 'n' where the record now differs from `before`.
std::string changedFields(const EngineState& before) {
    const Fields now = std::bit_cast<Fields>(State), old = std::bit_cast<Fields>(before);
    std::string mask;
    for (std::size_t i = 0; i < now.size(); ++i) mask += now[i] == old[i] ? '.' : 'n';
    return mask;
}

} // namespace

TEST(Failure, SetUp) {
    struct Case { const char* what; void (*run)(); const char* raised; const char* changed = "..................."; };
    const Case cases[] = {
        {"one parallel at the equator", [] { SetupSingleParallel(0.0, 0.9996, 0.1, 0.0, 500000.0); },
         "DivisionByZero", "....nnnnnnnn......."},
        {"parallels -30 and 30", [] { SetupProjection(0.0, -30 * kDeg, 30 * kDeg, 0.1, 0.0, 0.0); },
         "DivisionByZero", "....nnnnnnnn......."},
        {"equal parallels", [] { SetupProjection(35 * kDeg, 40 * kDeg, 40 * kDeg, 0.1, 0.0, 0.0); }, "InvalidOperation"},
        {"parallel at -90", [] { SetupProjection(30 * kDeg, -90 * kDeg, 45 * kDeg, 0.1, 0.0, 0.0); }, "InvalidArgument"},
        {"parallel at +90 (window factor)", [] { SetupProjection(30 * kDeg, 33 * kDeg, 90 * kDeg, 0.1, 0.0, 0.0); },
         "InvalidArgument"},
        {"one parallel at -90", [] { SetupSingleParallel(-90 * kDeg, 1.0, 0.1, 0.0, 0.0); },
         "InvalidArgument", "....nnn.n.........."},
        {"latitude of origin at +90", [] { SetupProjection(90 * kDeg, 33 * kDeg, 45 * kDeg, 0.1, 0.0, 0.0); },
         "InvalidArgument", "....nnnnnnnnnnnnnnn"},
        // Parallels 2e-15 rad apart next to the pole: n comes out 1.06.
        {"n above 1", [] { SetupProjection(1.5, 1.5707963267930578, 1.5707963267930558, 0.1, 0.0, 0.0); },
         "InvalidArgument (arcsine)"},
        {"NaN scale factor", [] { SetupSingleParallel(0.5, kNaN, 0.1, 0.0, 0.0); }, "InvalidArgument"},
        {"infinite central meridian", [] { SetupProjection(0.5, 0.6, 0.7, kInf, 0.0, 0.0); }, "InvalidArgument"},
        {"infinite false easting", [] { SetupSingleParallel(0.5, 1.0, 0.1, 0.0, -kInf); }, "InvalidArgument"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        markRecord();
        const EngineState before = State;
        EXPECT_EQ(raised(c.run), c.raised);
        EXPECT_EQ(changedFields(before), c.changed);
    }
    // The fields written before the failure hold their proper values.
    markRecord();
    raised(cases[0].run);
    EXPECT_EQ(State.ConeScaledCircle, 6378137.0 * 0.9996); // N0 k0 cos(0), N0 = a
}

TEST(Failure, Conversions) {
    struct Out { double a = 7.0, b = 8.0; std::int16_t iterations = 9; };
    struct Case {
        const char* what; void (*run)(Out&); const char* raised;
        const char* changed = "..";        // out-arguments a, b: 'n' written before the failure
        std::int16_t iterationsAfter = 9;
    };
    // Cone: WGS84, one parallel 40N, k0 1, false easting 300000, false
    // northing 0, so the apex lies exactly at northing ConeMapRadiusInv.
    const Case cases[] = {
        {"GeoToGrid at +90", [](Out& o) { GeoToGrid(90 * kDeg, -1.6, o.a, o.b); }, "InvalidArgument"},
        {"GeoToGrid at -90", [](Out& o) { GeoToGrid(-90 * kDeg, -1.6, o.a, o.b); }, "InvalidArgument"},
        {"PointScaleFactor at +90", [](Out& o) { o.a = PointScaleFactor(90 * kDeg); }, "InvalidArgument"},
        {"apex on the central meridian",
         [](Out& o) { GridToGeo(300000.0, State.ConeMapRadiusInv, o.a, o.b, o.iterations); }, "InvalidOperation"},
        {"apex off the central meridian",
         [](Out& o) { GridToGeo(300001.0, State.ConeMapRadiusInv, o.a, o.b, o.iterations); }, "DivisionByZero"},
        {"beyond the apex",
         [](Out& o) { GridToGeo(301000.0, State.ConeMapRadiusInv + 1000.0, o.a, o.b, o.iterations); },
         "InvalidArgument"},
        // Five passes needed: the third would take the counter past 32767.
        {"counter passes 32767 in GridToGeo",
         [](Out& o) { o.iterations = 32765; GridToGeo(400000.0, 100000.0, o.a, o.b, o.iterations); },
         "Overflow", "n.", 32767},
        {"counter at 32767 in LatitudeFromIsometric",
         [](Out& o) { o.iterations = 32767; LatitudeFromIsometric(0.7, o.a, o.iterations); }, "Overflow", "n.", 32767},
        {"ArcSin above 1", [](Out& o) { o.a = ArcSin(1.0 + 1e-12); }, "InvalidArgument (arcsine)"},
        {"ArcSin below -1", [](Out& o) { o.a = ArcSin(-1.0 - 1e-12); }, "InvalidArgument (arcsine)"},
        // n is stored in equivalentParallel before the arcsine refuses it.
        {"EquivalentParallel with n above 1",
         [](Out& o) { EquivalentParallel(1.5707963267930578, 1.5707963267930558, o.a, o.b); },
         "InvalidArgument (arcsine)", "n."},
        // Every operation refuses a value that is not finite.
        {"NaN latitude", [](Out& o) { GeoToGrid(kNaN, 0.1, o.a, o.b); }, "InvalidArgument"},
        {"infinite longitude", [](Out& o) { GeoToGrid(0.5, kInf, o.a, o.b); }, "InvalidArgument"},
        {"infinite easting", [](Out& o) { GridToGeo(-kInf, 0.0, o.a, o.b, o.iterations); }, "InvalidArgument"},
        {"NaN northing", [](Out& o) { GridToGeo(0.0, kNaN, o.a, o.b, o.iterations); }, "InvalidArgument"},
        {"NaN isometric latitude", [](Out& o) { LatitudeFromIsometric(kNaN, o.a, o.iterations); }, "InvalidArgument"},
        {"NaN parallel", [](Out& o) { EquivalentParallel(0.5, kNaN, o.a, o.b); }, "InvalidArgument"},
        {"infinite latitude for k", [](Out& o) { o.a = PointScaleFactor(kInf); }, "InvalidArgument"},
        {"NaN latitude for N", [](Out& o) { o.a = PrimeVerticalRadius(kNaN); }, "InvalidArgument"},
        {"infinite latitude for M", [](Out& o) { o.a = MeridianRadius(-kInf); }, "InvalidArgument"},
        {"infinite latitude for psi", [](Out& o) { o.a = IsometricLatitude(kInf); }, "InvalidArgument"},
        {"NaN for ArcSin", [](Out& o) { o.a = ArcSin(kNaN); }, "InvalidArgument"},
        {"NaN for convergence", [](Out& o) { o.a = GridConvergence(kNaN); }, "InvalidArgument"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        SetDatum("WGS84");
        SetupSingleParallel(40 * kDeg, 1.0, -1.6, 0.0, 300000.0);
        const EngineState before = State;
        Out out;
        EXPECT_EQ(raised([&] { c.run(out); }), c.raised);
        EXPECT_EQ(std::string() + (out.a == 7.0 ? '.' : 'n') + (out.b == 8.0 ? '.' : 'n'), c.changed);
        EXPECT_EQ(out.iterations, c.iterationsAfter);
        EXPECT_EQ(State, before); // conversions never write the record
    }
}

TEST(Failure, GeoToGridStoresEastingBeforeNorthingFails) {
    SetDatum("NAD83");
    SetupSingleParallel(40 * kDeg, 1.0, 0.0, 0.0, 0.0);
    const double lat = 41 * kDeg, lon = 1 * kDeg;
    double E0 = 0.0, N0 = 0.0;
    GeoToGrid(lat, lon, E0, N0);
    // No set-up makes this record; it lets the very last step overflow alone.
    State.NorthingOffset = -1.5e308;
    State.FalseNorthing = 1.5e308;
    double E = 7.0, N = 8.0;
    EXPECT_EQ(raised([&] { GeoToGrid(lat, lon, E, N); }), "Overflow");
    EXPECT_EQ(E, E0);
    EXPECT_EQ(N, 8.0);
}
