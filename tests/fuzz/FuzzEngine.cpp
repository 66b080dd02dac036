// The engine's set-up and conversions on arbitrary doubles: each operation
// raises ArithmeticError or returns finite results (no other exception, no
// crash, no hang, no NaN or infinity handed back as a value), also on the
// half-written record that a failed set-up leaves. Two exact properties on the
// way: a one-parallel cone maps its own point of origin to exactly (false
// easting, false northing), and the iteration counter grows by at least one
// pass on success and never goes down.
//
// Input: a datum byte, then steps, each an opcode byte and its arguments.
// An uncaught exception of another type terminates, which fails the run.

#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <string>

#include "tests/fuzz/FuzzSupport.h"
#include "engine/Tarvane_Module.h"

using namespace Tarvane_Module;

namespace {

const char* const kDatums[] = {"WGS84", "NAD83", "NAD27", "wgs84"};

using Limits = std::numeric_limits<double>;
constexpr double kDeg = 0.017453292519944444;  // the window's degree-to-radian factor
// A selector byte below the size of this table picks a value that matters to
// an angle in radians or a length in metres; any other takes the next eight
// bytes as a double's own bits, so that every double can be reached.
const double kSpecial[] = {
    0.0, -0.0, Limits::quiet_NaN(), Limits::infinity(), -Limits::infinity(), Limits::max(), -Limits::max(),
    Limits::denorm_min(), Limits::min(),
    90 * kDeg, -90 * kDeg,                    // slightly beyond the poles
    1.5707963267948966, -1.5707963267948966,  // the double nearest pi/2
    1.5707963267930578, 1.5707963267930558,   // a hair short of the pole
    33 * kDeg, 45 * kDeg, 23 * kDeg, -33 * kDeg, -45 * kDeg, 40 * kDeg, -96 * kDeg, 180 * kDeg, 360 * kDeg,
    0.9996, 1.0, -1.0, 1e-300, 500000.0, 1e7, -1e7, 1e300};
constexpr std::size_t kSpecialCount = sizeof kSpecial / sizeof kSpecial[0];

// Reads the input front to back; once it is used up every read gives 0.
struct Input {
    const std::uint8_t* data;
    std::size_t size, pos = 0;

    std::uint8_t Byte() { return pos < size ? data[pos++] : 0; }
    std::int16_t Counter() {  // a start value of the iteration counter, 0 to 32767
        const int low = Byte();
        return static_cast<std::int16_t>((low | Byte() << 8) & 0x7FFF);
    }
    double Double() {
        const std::uint8_t selector = Byte();
        if (selector < kSpecialCount) return kSpecial[selector];
        if (size - pos < 8) return static_cast<double>(selector - kSpecialCount) * 0.01;
        double x;
        std::memcpy(&x, data + pos, 8);
        pos += 8;
        return x;
    }
};

void Finite(double x, const char* what) {
    if (!std::isfinite(x)) fuzz::Fail(std::string(what) + " returned a value that is not finite");
}

void RecordFinite(const char* what) {
    double fields[sizeof(EngineState) / sizeof(double)];
    std::memcpy(fields, &State, sizeof fields);
    for (const double x : fields) Finite(x, what);
}

// A latitude iteration from a counter start value taken from the input.
template <typename Iterate>
void Counted(std::int16_t start, Iterate iterate) {
    std::int16_t count = start;
    try {
        iterate(count);
    } catch (const ArithmeticError&) {
        fuzz::Require(count >= start, "the iteration counter went down on a failure");
        throw;
    }
    fuzz::Require(count > start, "a successful iteration counted no pass");
}

void Step(Input& in) {
    double a = 0, b = 0;
    switch (in.Byte() % 11) {
    case 0: {
        const double phi0 = in.Double(), k0 = in.Double(), lambda0 = in.Double(), fn = in.Double(), fe = in.Double();
        SetupSingleParallel(phi0, k0, lambda0, fn, fe);
        RecordFinite("SetupSingleParallel");
        try {
            GeoToGrid(phi0, lambda0, a, b);
        } catch (const ArithmeticError& e) {
            fuzz::Fail(std::string("a one-parallel cone cannot map its own point of origin: ") + e.what());
        }
        fuzz::Require(a == fe && b == fn, "a one-parallel cone moved its own point of origin");
        break;
    }
    case 1: {
        const double lat0 = in.Double(), phi1 = in.Double(), phi2 = in.Double();
        const double lambda0 = in.Double(), fn = in.Double(), fe = in.Double();
        SetupProjection(lat0, phi1, phi2, lambda0, fn, fe);
        RecordFinite("SetupProjection");
        break;
    }
    case 2: {
        const double lat = in.Double(), lon = in.Double();
        GeoToGrid(lat, lon, a, b);
        Finite(a, "GeoToGrid"), Finite(b, "GeoToGrid");
        break;
    }
    case 3: {
        const double easting = in.Double(), northing = in.Double();
        Counted(in.Counter(), [&](std::int16_t& n) { GridToGeo(easting, northing, a, b, n); });
        Finite(a, "GridToGeo"), Finite(b, "GridToGeo");
        break;
    }
    case 4: Finite(PointScaleFactor(in.Double()), "PointScaleFactor"); break;
    case 5: {
        const double lat = in.Double();
        Finite(PrimeVerticalRadius(lat), "PrimeVerticalRadius"), Finite(MeridianRadius(lat), "MeridianRadius");
        break;
    }
    case 6: {
        const double phi1 = in.Double(), phi2 = in.Double();
        EquivalentParallel(phi1, phi2, a, b);
        Finite(a, "EquivalentParallel"), Finite(b, "EquivalentParallel");
        break;
    }
    case 7: {
        const double psi = in.Double();
        Counted(in.Counter(), [&](std::int16_t& n) { LatitudeFromIsometric(psi, a, n); });
        Finite(a, "LatitudeFromIsometric");
        break;
    }
    case 8: SetDatum(kDatums[in.Byte() % 4]), RecordFinite("SetDatum"); break;
    case 9: Finite(ArcSin(in.Double()), "ArcSin"); break;
    case 10: Finite(IsometricLatitude(in.Double()), "IsometricLatitude"); break;
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    Input in{data, size};
    State = EngineState{};  // a fresh record, so that each input replays alone
    SetDatum(kDatums[in.Byte() % 4]);
    // Few enough steps that one input stays inside the time limit even when
    // each conversion iterates to the counter's end.
    for (int step = 0; step < 16 && in.pos < in.size; ++step) {
        try {
            Step(in);
        } catch (const ArithmeticError&) {
        }
    }
    return 0;
}
