// Failures of the engine: the kind raised at the failing step, and what the
// record and the out-arguments hold afterwards (written before the step: new;
// after it: old).

#include "EngineTestSupport.h"

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <limits>
#include <string>

using namespace Tarvane_Module;
using tarvane_test::changedFields;
using tarvane_test::kDeg;
using Kind = ArithmeticErrorKind;

namespace {

const double kNaN = std::numeric_limits<double>::quiet_NaN();
const double kInf = std::numeric_limits<double>::infinity();

struct Outcome {
    bool thrown = false;
    Kind kind = Kind::InvalidOperation;
    bool arcSin = false; // an ArcSinDomainError
};

template <class F> Outcome outcomeOf(F&& f) {
    try {
        f();
    } catch (const ArithmeticError& e) {
        return {true, e.kind(), dynamic_cast<const ArcSinDomainError*>(&e) != nullptr};
    }
    return {};
}

// The WGS84 ellipsoid and cone fields 105.0 ... 119.0, which no set-up makes,
// so that every field written shows.
void markRecord() {
    SetDatum("WGS84");
    tarvane_test::Fields fields = tarvane_test::fieldsOf(State);
    for (std::size_t i = 4; i < fields.size(); ++i)
        fields[i] = 101.0 + static_cast<double>(i);
    State = std::bit_cast<EngineState>(fields);
}

} // namespace

TEST(Failure, SetUp) {
    struct Case { const char* what; void (*run)(); Kind kind; bool arcSin; const char* changed; };
    // changed: one character per record field 1-19, 'n' written before the failure.
    const Case cases[] = {
        {"one parallel at the equator", [] { SetupSingleParallel(0.0, 0.9996, 0.1, 0.0, 500000.0); },
         Kind::DivisionByZero, false, "....nnnnnnnn......."},
        {"parallels -30 and 30", [] { SetupProjection(0.0, -30 * kDeg, 30 * kDeg, 0.1, 0.0, 0.0); },
         Kind::DivisionByZero, false, "....nnnnnnnn......."},
        {"equal parallels", [] { SetupProjection(35 * kDeg, 40 * kDeg, 40 * kDeg, 0.1, 0.0, 0.0); },
         Kind::InvalidOperation, false, "..................."},
        {"parallel at -90", [] { SetupProjection(30 * kDeg, -90 * kDeg, 45 * kDeg, 0.1, 0.0, 0.0); },
         Kind::InvalidArgument, false, "..................."},
        {"parallel at +90 (window factor)", [] { SetupProjection(30 * kDeg, 33 * kDeg, 90 * kDeg, 0.1, 0.0, 0.0); },
         Kind::InvalidArgument, false, "..................."},
        {"one parallel at -90", [] { SetupSingleParallel(-90 * kDeg, 1.0, 0.1, 0.0, 0.0); },
         Kind::InvalidArgument, false, "....nnn.n.........."},
        {"latitude of origin at +90", [] { SetupProjection(90 * kDeg, 33 * kDeg, 45 * kDeg, 0.1, 0.0, 0.0); },
         Kind::InvalidArgument, false, "....nnnnnnnnnnnnnnn"},
        // Parallels 2e-15 rad apart next to the pole: n comes out 1.06.
        {"n above 1", [] { SetupProjection(1.5, 1.5707963267930578, 1.5707963267930558, 0.1, 0.0, 0.0); },
         Kind::InvalidArgument, true, "..................."},
        {"NaN scale factor", [] { SetupSingleParallel(0.5, kNaN, 0.1, 0.0, 0.0); },
         Kind::InvalidArgument, false, "..................."},
        {"infinite central meridian", [] { SetupProjection(0.5, 0.6, 0.7, kInf, 0.0, 0.0); },
         Kind::InvalidArgument, false, "..................."},
        {"infinite false easting", [] { SetupSingleParallel(0.5, 1.0, 0.1, 0.0, -kInf); },
         Kind::InvalidArgument, false, "..................."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        markRecord();
        const EngineState before = State;
        const Outcome o = outcomeOf(c.run);
        ASSERT_TRUE(o.thrown);
        EXPECT_EQ(o.kind, c.kind);
        EXPECT_EQ(o.arcSin, c.arcSin);
        EXPECT_EQ(changedFields(before), c.changed);
    }
    // The fields written before the failure hold their proper values.
    markRecord();
    outcomeOf(cases[0].run);
    EXPECT_EQ(State.ConeScaledCircle, 6378137.0 * 0.9996); // N0 k0 cos(0), N0 = a
}

TEST(Failure, Conversions) {
    struct Out { double a = 7.0, b = 8.0; std::int16_t iterations = 9; };
    struct Case {
        const char* what; void (*run)(Out&); Kind kind; bool arcSin;
        const char* changed;        // out-arguments a, b: 'n' written before the failure
        std::int16_t iterationsAfter;
    };
    // Cone: WGS84, one parallel 40N, k0 1, false easting 300000, false
    // northing 0, so the apex lies exactly at northing ConeMapRadiusInv.
    const double fe = 300000.0;
    const Case cases[] = {
        {"GeoToGrid at +90", [](Out& o) { GeoToGrid(90 * kDeg, -1.6, o.a, o.b); }, Kind::InvalidArgument, false, "..", 9},
        {"GeoToGrid at -90", [](Out& o) { GeoToGrid(-90 * kDeg, -1.6, o.a, o.b); }, Kind::InvalidArgument, false, "..", 9},
        {"PointScaleFactor at +90", [](Out& o) { o.a = PointScaleFactor(90 * kDeg); }, Kind::InvalidArgument, false, "..", 9},
        {"apex on the central meridian",
         [](Out& o) { GridToGeo(300000.0, State.ConeMapRadiusInv, o.a, o.b, o.iterations); },
         Kind::InvalidOperation, false, "..", 9},
        {"apex off the central meridian",
         [](Out& o) { GridToGeo(300001.0, State.ConeMapRadiusInv, o.a, o.b, o.iterations); },
         Kind::DivisionByZero, false, "..", 9},
        {"beyond the apex",
         [](Out& o) { GridToGeo(301000.0, State.ConeMapRadiusInv + 1000.0, o.a, o.b, o.iterations); },
         Kind::InvalidArgument, false, "..", 9},
        // Five passes needed: the third would take the counter past 32767.
        {"counter passes 32767 in GridToGeo",
         [](Out& o) { o.iterations = 32765; GridToGeo(400000.0, 100000.0, o.a, o.b, o.iterations); },
         Kind::Overflow, false, "n.", 32767},
        {"counter at 32767 in LatitudeFromIsometric",
         [](Out& o) { o.iterations = 32767; LatitudeFromIsometric(0.7, o.a, o.iterations); },
         Kind::Overflow, false, "n.", 32767},
        {"ArcSin above 1", [](Out& o) { o.a = ArcSin(1.0 + 1e-12); }, Kind::InvalidArgument, true, "..", 9},
        {"ArcSin below -1", [](Out& o) { o.a = ArcSin(-1.0 - 1e-12); }, Kind::InvalidArgument, true, "..", 9},
        // n is stored in equivalentParallel before the arcsine refuses it.
        {"EquivalentParallel with n above 1",
         [](Out& o) { EquivalentParallel(1.5707963267930578, 1.5707963267930558, o.a, o.b); },
         Kind::InvalidArgument, true, "n.", 9},
        {"NaN latitude", [](Out& o) { GeoToGrid(kNaN, 0.1, o.a, o.b); }, Kind::InvalidArgument, false, "..", 9},
        {"infinite longitude", [](Out& o) { GeoToGrid(0.5, kInf, o.a, o.b); }, Kind::InvalidArgument, false, "..", 9},
        {"infinite easting", [](Out& o) { GridToGeo(-kInf, 0.0, o.a, o.b, o.iterations); }, Kind::InvalidArgument, false, "..", 9},
        {"NaN northing", [](Out& o) { GridToGeo(0.0, kNaN, o.a, o.b, o.iterations); }, Kind::InvalidArgument, false, "..", 9},
        {"NaN isometric latitude", [](Out& o) { LatitudeFromIsometric(kNaN, o.a, o.iterations); }, Kind::InvalidArgument, false, "..", 9},
        {"NaN parallel", [](Out& o) { EquivalentParallel(0.5, kNaN, o.a, o.b); }, Kind::InvalidArgument, false, "..", 9},
        {"infinite latitude for k", [](Out& o) { o.a = PointScaleFactor(kInf); }, Kind::InvalidArgument, false, "..", 9},
        {"NaN latitude for N", [](Out& o) { o.a = PrimeVerticalRadius(kNaN); }, Kind::InvalidArgument, false, "..", 9},
        {"infinite latitude for M", [](Out& o) { o.a = MeridianRadius(-kInf); }, Kind::InvalidArgument, false, "..", 9},
        {"infinite latitude for psi", [](Out& o) { o.a = IsometricLatitude(kInf); }, Kind::InvalidArgument, false, "..", 9},
        {"NaN for ArcSin", [](Out& o) { o.a = ArcSin(kNaN); }, Kind::InvalidArgument, false, "..", 9},
        {"NaN for convergence", [](Out& o) { o.a = GridConvergence(kNaN); }, Kind::InvalidArgument, false, "..", 9},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        SetDatum("WGS84");
        SetupSingleParallel(40 * kDeg, 1.0, -1.6, 0.0, fe);
        const EngineState before = State;
        Out out;
        const Outcome o = outcomeOf([&] { c.run(out); });
        ASSERT_TRUE(o.thrown);
        EXPECT_EQ(o.kind, c.kind);
        EXPECT_EQ(o.arcSin, c.arcSin);
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
    const Outcome o = outcomeOf([&] { GeoToGrid(lat, lon, E, N); });
    ASSERT_TRUE(o.thrown);
    EXPECT_EQ(o.kind, Kind::Overflow);
    EXPECT_EQ(E, E0);
    EXPECT_EQ(N, 8.0);
}
