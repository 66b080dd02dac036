// The engine's set-up and conversions on arbitrary doubles.
//
// Every operation either raises ArithmeticError or returns finite results:
// no other exception, no crash, no hang, no NaN or infinity handed back as if
// it were a value. After a failed set-up the record is half written, and the
// operations that follow must hold to the same rule on it. Two exact
// properties are checked on the way: a one-parallel set-up maps its own
// point of origin to exactly (false easting, false northing), and the
// iteration counter only ever grows, by at least one pass, and never wraps.
//
// Input: a datum byte, then operations, each an opcode byte followed by its
// arguments (see fuzz::Input::Double for how a double is taken).

#include <cmath>
#include <cstdint>
#include <string>

#include "FuzzSupport.h"
#include "Tarvane_Module.h"

using namespace Tarvane_Module;

namespace {

const char* const kDatums[] = {"WGS84", "NAD83", "NAD27", "wgs84"};

void RequireFinite(double x, const char* what) {
    if (!std::isfinite(x)) fuzz::Fail(std::string(what) + " returned a value that is not finite");
}

void RequireRecordFinite(const char* what) {
    const EngineState& S = State;
    for (const double x : {S.SemiMajorAxis, S.EccentricitySquared, S.Eccentricity, S.HalfEccentricity,
                           S.ConeParallel, S.ConeConstant, S.NegConeConstant, S.ConeIsometricLat, S.ScaleFactor,
                           S.ConeNormalRadius, S.ConeScaledNormal, S.ConeScaledCircle, S.ConeMapRadius,
                           S.ConeCotRadius, S.ConeMapRadiusInv, S.CentralMeridian, S.FalseNorthing,
                           S.FalseEasting, S.NorthingOffset})
        RequireFinite(x, what);
}

// Counter in and out of the latitude iteration: it grows by at least one on
// success, and stays put when the iteration fails.
void RequireCounter(std::int16_t before, std::int16_t after, bool failed) {
    if (failed) {
        fuzz::Require(after >= before, "the iteration counter went down on a failure");
    } else {
        fuzz::Require(after > before, "a successful iteration counted no pass");
    }
}

void Step(fuzz::Input& in) {
    switch (in.Byte() % 11) {
    case 0: {
        const double phi0 = in.Double(), k0 = in.Double(), lambda0 = in.Double();
        const double fn = in.Double(), fe = in.Double();
        SetupSingleParallel(phi0, k0, lambda0, fn, fe);
        RequireRecordFinite("SetupSingleParallel");
        // The point of origin, on the central meridian at the parallel.
        double easting = 0, northing = 0;
        try {
            GeoToGrid(phi0, lambda0, easting, northing);
        } catch (const ArithmeticError& e) {
            fuzz::Fail(std::string("a one-parallel cone cannot map its own point of origin: ") + e.what());
        }
        fuzz::Require(easting == fe && northing == fn, "a one-parallel cone moved its own point of origin");
        break;
    }
    case 1: {
        const double lat0 = in.Double(), phi1 = in.Double(), phi2 = in.Double();
        const double lambda0 = in.Double(), fn = in.Double(), fe = in.Double();
        SetupProjection(lat0, phi1, phi2, lambda0, fn, fe);
        RequireRecordFinite("SetupProjection");
        break;
    }
    case 2: {
        const double lat = in.Double(), lon = in.Double();
        double easting = 0, northing = 0;
        GeoToGrid(lat, lon, easting, northing);
        RequireFinite(easting, "GeoToGrid");
        RequireFinite(northing, "GeoToGrid");
        break;
    }
    case 3: {
        const double easting = in.Double(), northing = in.Double();
        const std::int16_t start = static_cast<std::int16_t>(in.Int16() & 0x7FFF);
        double lat = 0, lon = 0;
        std::int16_t iterations = start;
        try {
            GridToGeo(easting, northing, lat, lon, iterations);
        } catch (const ArithmeticError&) {
            RequireCounter(start, iterations, true);
            throw;
        }
        RequireCounter(start, iterations, false);
        RequireFinite(lat, "GridToGeo");
        RequireFinite(lon, "GridToGeo");
        break;
    }
    case 4: {
        const double lat = in.Double();
        RequireFinite(PointScaleFactor(lat), "PointScaleFactor");
        break;
    }
    case 5: {
        const double lat = in.Double();
        RequireFinite(PrimeVerticalRadius(lat), "PrimeVerticalRadius");
        RequireFinite(MeridianRadius(lat), "MeridianRadius");
        break;
    }
    case 6: {
        const double phi1 = in.Double(), phi2 = in.Double();
        double phi0 = 0, k0 = 0;
        EquivalentParallel(phi1, phi2, phi0, k0);
        RequireFinite(phi0, "EquivalentParallel");
        RequireFinite(k0, "EquivalentParallel");
        break;
    }
    case 7: {
        const double psi = in.Double();
        const std::int16_t start = static_cast<std::int16_t>(in.Int16() & 0x7FFF);
        double lat = 0;
        std::int16_t iterations = start;
        try {
            LatitudeFromIsometric(psi, lat, iterations);
        } catch (const ArithmeticError&) {
            RequireCounter(start, iterations, true);
            throw;
        }
        RequireCounter(start, iterations, false);
        RequireFinite(lat, "LatitudeFromIsometric");
        break;
    }
    case 8:
        SetDatum(kDatums[in.Byte() % 4]);
        RequireRecordFinite("SetDatum");
        break;
    case 9: {
        const double x = in.Double();
        RequireFinite(ArcSin(x), "ArcSin");
        break;
    }
    case 10: {
        const double lat = in.Double();
        RequireFinite(IsometricLatitude(lat), "IsometricLatitude");
        break;
    }
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz::Input in(data, size);
    State = EngineState{};  // each input starts from a fresh record, so that it replays alone
    try {
        SetDatum(kDatums[in.Byte() % 4]);
    } catch (...) {
        fuzz::Fail("SetDatum threw");
    }
    // A bounded number of steps keeps one input well inside the time limit
    // even when each conversion iterates to the counter's end.
    for (int step = 0; step < 16 && !in.Empty(); ++step) {
        try {
            Step(in);
        } catch (const ArithmeticError&) {
            // The one failure the engine may report.
        } catch (const std::exception& e) {
            fuzz::Fail(std::string("an exception other than ArithmeticError: ") + e.what());
        } catch (...) {
            fuzz::Fail("an exception other than ArithmeticError");
        }
    }
    return 0;
}
