#include "core/setup/Antimeridian.h"

#include <cmath>

#include "core/setup/Units.h"
#include "engine/Tarvane_Module.h"

namespace Antimeridian {

namespace {
constexpr double kHalfTurn = 180.0 * kDegToRad;
constexpr double kTurn = 360.0 * kDegToRad;
}  // namespace

// A NaN or an infinity passes through as NaN, for the engine to refuse.
double ToEngine(double lon) {
    const double lambda0 = Tarvane_Module::State.CentralMeridian;
    const double d = lon - lambda0;
    if (!(std::fabs(d) > kHalfTurn)) return lon;
    return lambda0 + std::remainder(d, kTurn);
}

double FromEngine(double lon) {
    if (!(std::fabs(lon) > kHalfTurn)) return lon;
    return std::remainder(lon, kTurn);
}

}  // namespace Antimeridian
