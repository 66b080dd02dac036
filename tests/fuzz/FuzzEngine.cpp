// The engine on arbitrary doubles: a failure is an ArithmeticError (any other exception terminates the run); results,
// and the record a failed set-up half writes, are finite; latitudes and arcsines lie in their ranges; on an everyday
// cone a point comes back from its grid position. Input: a datum byte, then opcode bytes and their arguments.
#include "core/setup/Units.h"
#include "engine/Tarvane_Module.h"
#include "tests/fuzz/FuzzSupport.h"
#include <algorithm>
#include <array>
#include <bit>
#include <cmath>
#include <cstring>
#include <limits>
#include <numbers>
#include <string>

using namespace Tarvane_Module;

namespace {
using Limits = std::numeric_limits<double>;
const char* const kDatums[] = {"WGS84", "NAD83", "NAD27", "wgs84"};
constexpr double kDeg = kDegToRad, kHalfPi = std::numbers::pi / 2, kLatLimit = 1.570796326795; // 2 * 0.7853981633975
// Picked by a selector byte below its size; any other byte takes the next eight bytes as a double.
const double kEdgeValues[] = {0.0, -0.0, Limits::quiet_NaN(), Limits::infinity(), -Limits::infinity(), Limits::max(),
    -Limits::max(), Limits::denorm_min(), Limits::min(), 90 * kDeg, -90 * kDeg, 1.5707963267948966, -1.5707963267948966,
    1.5707963267930578, 1.5707963267930558, 33 * kDeg, 45 * kDeg, 23 * kDeg, -33 * kDeg, -45 * kDeg, 40 * kDeg,
    -96 * kDeg, 180 * kDeg, 360 * kDeg, 0.9996, 1.0, -1.0, 1e-300, 500000.0, 1e7, -1e7, 1e300};
// Reads the input front to back; once it is used up every read gives 0.
struct Input {
    const std::uint8_t* data;
    std::size_t size, pos = 0;
    std::uint8_t Byte() { return pos < size ? data[pos++] : 0; }
    std::int16_t Counter() { const int low = Byte(); return static_cast<std::int16_t>((low | Byte() << 8) & 0x7FFF); }
    double Double() {
        const std::size_t selector = Byte(), edges = std::size(kEdgeValues);
        double x = static_cast<double>(selector - edges) * 0.01; // when fewer than 8 bytes are left
        if (selector >= edges && size - pos >= 8) std::memcpy(&x, data + pos, 8), pos += 8;
        return selector < edges ? kEdgeValues[selector] : x;
    }
};

void Within(double x, double lo, double hi, const char* what) { // also refuses NaN and infinities
    if (!(lo <= x && x <= hi)) fuzz::Fail(std::string(what) + " gave " + std::to_string(x));
}
void Finite(double x, const char* what) { Within(x, -Limits::max(), Limits::max(), what); }
void RecordFinite() { for (const double x : std::bit_cast<std::array<double, 19>>(State)) Finite(x, "the record"); }

// A point within 85 degrees of latitude and 80 degrees of the central meridian, on a cone of everyday size, comes
// back within 1e-8 rad: the powers of 2.718281828 cost up to about 3e-9 rad there.
void RoundTrip(double lat, double lon, double easting, double northing) {
    const EngineState& S = State;
    const auto atMost = [](double x, double limit) { return std::abs(x) <= limit; };
    if (!(S.ScaleFactor >= 0.5 && S.ScaleFactor <= 2 && !atMost(S.ConeConstant, 0.017) &&
          !atMost(S.ConeMapRadius, 1e5) && atMost(S.ConeMapRadius, 1e9) && atMost(S.ConeParallel, 85 * kDeg) &&
          atMost(S.CentralMeridian, 10) && atMost(S.FalseEasting, 1e8) && atMost(S.FalseNorthing, 1e8) &&
          atMost(S.NorthingOffset, 1e8) && atMost(lat, 85 * kDeg) && atMost(lon - S.CentralMeridian, 80 * kDeg)))
        return;
    double backLat = 0, backLon = 0;
    std::int16_t passes = 0;
    try { GridToGeo(easting, northing, backLat, backLon, passes); }
    catch (const ArithmeticError& e) { fuzz::Fail(std::string("an everyday point is lost: ") + e.what()); }
    Within(std::max(std::abs(backLat - lat), std::abs(backLon - lon)), 0, 1e-8, "the point back");
}

void Step(Input& in) {
    static constexpr int kDoubles[] = {5, 6, 2, 2, 1, 1, 2, 1, 0, 1, 1}; // the arguments each step reads first
    const int op = in.Byte() % 11;
    double x[6], a = 0, b = 0;
    for (int i = 0; i < kDoubles[op]; ++i) x[i] = in.Double();
    std::int16_t count = op == 3 || op == 7 ? in.Counter() : 0;
    switch (op) {
    case 0: SetupSingleParallel(x[0], x[1], x[2], x[3], x[4]), RecordFinite(); break;
    case 1: SetupProjection(x[0], x[1], x[2], x[3], x[4], x[5]), RecordFinite(); break;
    case 2: GeoToGrid(x[0], x[1], a, b), Finite(a, "easting"), Finite(b, "northing"), RoundTrip(x[0], x[1], a, b);
        break;
    case 3: GridToGeo(x[0], x[1], a, b, count), Within(a, -kLatLimit, kLatLimit, "latitude"), Finite(b, "longitude");
        break;
    case 4: Finite(PointScaleFactor(x[0]), "PointScaleFactor"); break;
    case 5: Finite(PrimeVerticalRadius(x[0]), "PrimeVerticalRadius"), Finite(MeridianRadius(x[0]), "MeridianRadius");
        break;
    case 6: EquivalentParallel(x[0], x[1], a, b), Within(a, -kHalfPi, kHalfPi, "ArcSin"), Finite(b, "k0"); break;
    case 7: LatitudeFromIsometric(x[0], a, count), Within(a, -kLatLimit, kLatLimit, "latitude"); break;
    case 8: SetDatum(kDatums[in.Byte() % 4]), RecordFinite(); break;
    case 9: Within(ArcSin(x[0]), -kHalfPi, kHalfPi, "ArcSin"); break;
    case 10: Finite(IsometricLatitude(x[0]), "IsometricLatitude"); break;
    }
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    Input in{data, size};
    State = EngineState{}; // a fresh record, so that each input replays alone
    SetDatum(kDatums[in.Byte() % 4]);
    // Few enough steps that one input stays inside the time limit when each conversion iterates to the end.
    for (int step = 0; step < 16 && in.pos < in.size; ++step)
        try { Step(in); } catch (const ArithmeticError&) {}
    return 0;
}
