// The geodetic engine: ellipsoid, cone set-up and conversions.
//
// Results must agree bit for bit with stored results, so every formula below
// keeps its operation order and its constants exactly, odd ones included:
// 2.718281828 as the base of every power that stands for exp(),
// 0.7853981633975 for pi/4, pow(s, 2.0) and pow(W, 3.0) for squares and
// cubes, -n as n * -1.0.  Do not "simplify" them; the tests compare against
// the stored values.

#include "engine/Tarvane_Module.h"

#include <cmath>

namespace Tarvane_Module {

EngineState State;

ArithmeticError::ArithmeticError(ArithmeticErrorKind kind, const std::string& message)
    : std::runtime_error(message), kind_(kind) {}

ArcSinDomainError::ArcSinDomainError()
    : ArithmeticError(ArithmeticErrorKind::InvalidArgument, "ARCSINUS DATA ERROR") {}

namespace {

constexpr double kExpBase = 2.718281828;      // stands for e in every exp()
constexpr double kQuarterPi = 0.7853981633975; // stands for pi/4
constexpr double kTolerance = 1e-9;            // latitude iteration, radians

[[noreturn]] [[gnu::cold]] void raise(ArithmeticErrorKind kind) {
    switch (kind) {
    case ArithmeticErrorKind::InvalidOperation: throw ArithmeticError(kind, "Invalid floating-point operation");
    case ArithmeticErrorKind::DivisionByZero: throw ArithmeticError(kind, "Division by zero");
    case ArithmeticErrorKind::Overflow: throw ArithmeticError(kind, "Overflow");
    case ArithmeticErrorKind::InvalidArgument: break;
    }
    throw ArithmeticError(ArithmeticErrorKind::InvalidArgument, "Invalid argument");
}

// Checked steps.  The compiler does not keep the floating-point status flags
// reliably, so each step tests its own result.  Operands are always finite
// (inputs are checked on entry and every earlier step was checked), so a NaN
// result is an invalid operation and an infinite one an overflow.
inline double checked(double r) {
    if (!std::isfinite(r)) [[unlikely]]
        raise(std::isnan(r) ? ArithmeticErrorKind::InvalidOperation : ArithmeticErrorKind::Overflow);
    return r;
}
inline double sum(double x, double y) { return checked(x + y); }
inline double diff(double x, double y) { return checked(x - y); }
inline double prod(double x, double y) { return checked(x * y); }
inline double quot(double x, double y) {
    if (y == 0.0) [[unlikely]]
        raise(x == 0.0 ? ArithmeticErrorKind::InvalidOperation : ArithmeticErrorKind::DivisionByZero);
    return checked(x / y);
}
inline double power(double base, double exponent) {
    if (base == 0.0 && exponent < 0.0) [[unlikely]]
        raise(ArithmeticErrorKind::DivisionByZero);
    return checked(std::pow(base, exponent));
}
inline double logarithm(double x) {
    if (!(x > 0.0)) [[unlikely]]
        raise(ArithmeticErrorKind::InvalidArgument);
    return std::log(x);
}
inline double root(double x) {
    if (x < 0.0) [[unlikely]]
        raise(ArithmeticErrorKind::InvalidArgument);
    return std::sqrt(x);
}
inline double sine(double x) { return checked(std::sin(x)); }
inline double cosine(double x) { return checked(std::cos(x)); }
inline double tangent(double x) { return checked(std::tan(x)); }
inline double arctan(double x) { return std::atan(x); }

// NaN and infinities raise no floating-point flag on their own and would flow
// through to a plainly wrong result, so inputs are refused on entry.
inline void requireFinite(double x) {
    if (!std::isfinite(x)) [[unlikely]]
        raise(ArithmeticErrorKind::InvalidArgument);
}

} // namespace

void SetDatum(const std::string& datumName) {
    // e^2 = 2f - f^2 in double arithmetic for the published 1/f.
    if (datumName == "WGS84") { // WGS 84, 1/f = 298.257223563
        State.SemiMajorAxis = 6378137.0;
        State.EccentricitySquared = 0.0066943799901413165;
    } else if (datumName == "NAD83") { // GRS 80, 1/f = 298.257222101
        State.SemiMajorAxis = 6378137.0;
        State.EccentricitySquared = 0.006694380022900787;
    } else if (datumName == "NAD27") { // Clarke 1866, 1/f = 294.9786982
        State.SemiMajorAxis = 6378206.4;
        State.EccentricitySquared = 0.006768657997609644;
    }
    State.Eccentricity = root(State.EccentricitySquared);
    State.HalfEccentricity = quot(State.Eccentricity, 2.0);
}

double PrimeVerticalRadius(const double& lat) {
    requireFinite(lat);
    const double s = sine(lat);
    const double w = diff(1.0, prod(power(s, 2.0), State.EccentricitySquared));
    return quot(State.SemiMajorAxis, root(w)); // N = a / sqrt(1 - e^2 sin^2 lat)
}

double MeridianRadius(const double& lat) {
    requireFinite(lat);
    const double s = sine(lat);
    const double W = root(diff(1.0, prod(power(s, 2.0), State.EccentricitySquared)));
    return quot(prod(diff(1.0, State.EccentricitySquared), State.SemiMajorAxis), power(W, 3.0)); // M = a(1-e^2)/W^3
}

double IsometricLatitude(const double& lat) {
    requireFinite(lat);
    const double es = prod(State.Eccentricity, sine(lat));
    const double ratio = quot(diff(1.0, es), sum(es, 1.0));
    const double P = power(ratio, State.HalfEccentricity);
    const double T = tangent(sum(quot(lat, 2.0), kQuarterPi));
    return logarithm(prod(T, P)); // psi = ln(tan(pi/4 + lat/2) ((1 - e sin)/(1 + e sin))^(e/2))
}

double ArcSin(const double& x) {
    requireFinite(x);
    if (x > 1.0)
        throw ArcSinDomainError();
    if (x == 1.0)
        return quot(prod(arctan(1.0), 4.0), 2.0);
    if (x == -1.0)
        return quot(prod(arctan(1.0), -4.0), 2.0);
    if (x < -1.0)
        throw ArcSinDomainError();
    return arctan(quot(x, root(diff(1.0, prod(x, x)))));
}

void EquivalentParallel(const double& parallel1, const double& parallel2, double& equivalentParallel,
                        double& scaleFactor) {
    requireFinite(parallel1);
    requireFinite(parallel2);
    const double psi1 = IsometricLatitude(parallel1);
    const double psi2 = IsometricLatitude(parallel2);
    const double N1 = PrimeVerticalRadius(parallel1);
    const double N2 = PrimeVerticalRadius(parallel2);
    const double c1 = cosine(parallel1);
    const double c2 = cosine(parallel2);
    const double L2 = logarithm(prod(c2, N2));
    const double L1 = logarithm(prod(c1, N1));
    // n = (ln(m1) - ln(m2)) / (psi2 - psi1), m = N cos(phi)
    equivalentParallel = quot(diff(L1, L2), diff(psi2, psi1));
    equivalentParallel = ArcSin(equivalentParallel);
    const double phi0 = equivalentParallel;
    const double psi0 = IsometricLatitude(phi0);
    const double N0 = PrimeVerticalRadius(phi0);
    const double t = prod(sine(phi0), diff(psi1, psi0));
    // k0 = m1 / m0 * exp(n (psi1 - psi0)): scale 1 on both parallels
    scaleFactor = power(kExpBase, t);
    scaleFactor = prod(quot(prod(c1, N1), prod(cosine(phi0), N0)), scaleFactor);
}

void SetupSingleParallel(const double& parallel, const double& scaleFactor, const double& centralMeridian,
                         const double& falseNorthing, const double& falseEasting) {
    requireFinite(parallel);
    requireFinite(scaleFactor);
    requireFinite(centralMeridian);
    requireFinite(falseNorthing);
    requireFinite(falseEasting);
    // Copies: a caller may pass fields of the record itself.
    const double phi0 = parallel, k0 = scaleFactor, lambda0 = centralMeridian;
    const double fn = falseNorthing, fe = falseEasting;

    // Each field is stored as soon as it is known, so a failure leaves the
    // earlier ones set.
    EngineState& S = State;
    S.ConeParallel = phi0;
    S.ConeConstant = sine(S.ConeParallel);
    S.NegConeConstant = prod(S.ConeConstant, -1.0);
    S.ScaleFactor = k0;
    S.ConeIsometricLat = IsometricLatitude(S.ConeParallel);
    S.ConeNormalRadius = PrimeVerticalRadius(S.ConeParallel);
    S.ConeScaledNormal = prod(S.ConeNormalRadius, S.ScaleFactor);
    S.ConeScaledCircle = prod(S.ConeScaledNormal, cosine(phi0));
    S.ConeMapRadius = quot(S.ConeScaledNormal, tangent(phi0)); // r0 = k0 N0 cot(phi0)
    S.ConeCotRadius = quot(prod(S.ConeNormalRadius, cosine(phi0)), sine(phi0));
    S.ConeMapRadiusInv = prod(S.ConeCotRadius, S.ScaleFactor); // r0 again, by another path
    S.CentralMeridian = lambda0;
    S.FalseNorthing = fn;
    S.FalseEasting = fe;
    S.NorthingOffset = 0.0;
}

void SetupProjection(const double& originLat, const double& parallel1, const double& parallel2,
                     const double& centralMeridian, const double& falseNorthing, const double& falseEasting) {
    requireFinite(originLat);
    requireFinite(parallel1);
    requireFinite(parallel2);
    requireFinite(centralMeridian);
    requireFinite(falseNorthing);
    requireFinite(falseEasting);
    const double lat0 = originLat, lambda0 = centralMeridian, fn = falseNorthing, fe = falseEasting;

    double phi0 = 0.0, k0 = 0.0;
    EquivalentParallel(parallel1, parallel2, phi0, k0);
    SetupSingleParallel(phi0, k0, lambda0, fn, fe);
    // Move the false northing from phi0 to the latitude of origin.
    double easting = 0.0, northing = 0.0;
    GeoToGrid(lat0, lambda0, easting, northing);
    State.NorthingOffset = diff(northing, fn);
}

void GeoToGrid(const double& lat, const double& lon, double& easting, double& northing) {
    requireFinite(lat);
    requireFinite(lon);
    const EngineState& S = State;
    const double psi = IsometricLatitude(lat);
    const double d = diff(psi, S.ConeIsometricLat);
    const double dlambda = diff(lon, S.CentralMeridian); // deliberately not reduced to +-pi
    const double q = power(kExpBase, prod(S.NegConeConstant, d)); // r = r0 q
    const double theta = prod(S.ConeConstant, dlambda);
    easting = sum(prod(prod(S.ConeMapRadius, q), sine(theta)), S.FalseEasting);
    northing = sum(diff(prod(diff(1.0, prod(cosine(theta), q)), S.ConeMapRadius), S.NorthingOffset),
                   S.FalseNorthing);
}

void GridToGeo(const double& easting, const double& northing, double& lat, double& lon,
               std::int16_t& iterations) {
    requireFinite(easting);
    requireFinite(northing);
    const EngineState& S = State;
    // rho: distance from the apex along the central meridian, signed as the cone
    const double rho = diff(S.ConeMapRadiusInv, diff(sum(S.NorthingOffset, northing), S.FalseNorthing));
    const double x = diff(easting, S.FalseEasting);
    const double theta = arctan(quot(x, rho));
    const double r = quot(rho, cosine(theta));
    const double dlambda = quot(theta, S.ConeConstant);
    const double t = quot(-logarithm(quot(r, S.ConeMapRadiusInv)), S.ConeConstant);
    const double psi = sum(S.ConeIsometricLat, t);
    LatitudeFromIsometric(psi, lat, iterations);
    lon = sum(S.CentralMeridian, dlambda);
}

void LatitudeFromIsometric(const double& isometricLat, double& lat, std::int16_t& iterations) {
    requireFinite(isometricLat);
    const double psi = isometricLat; // lat may be the same variable
    const double e = State.Eccentricity;
    // lat = 2 atan(exp(psi) ((1 + e sin)/(1 - e sin))^(e/2)) - pi/2, to a fixed point
    lat = psi;
    // The same in every pass, so taken once; its overflow still comes after
    // lat = psi and before the first count, as it did inside the loop.
    const double expPsi = power(kExpBase, psi);
    for (;;) {
        const double prev = lat;
        const double es = prod(e, sine(prev));
        const double ratio = quot(sum(es, 1.0), diff(1.0, es));
        const double T = power(ratio, State.HalfEccentricity);
        const double X = prod(expPsi, T);
        const double a = arctan(X);
        lat = sum(diff(a, kQuarterPi), diff(a, kQuarterPi));
        if (iterations == INT16_MAX) [[unlikely]]
            raise(ArithmeticErrorKind::Overflow);
        ++iterations;
        if (std::fabs(diff(lat, prev)) < kTolerance)
            return;
    }
}

double PointScaleFactor(const double& lat) {
    requireFinite(lat);
    const EngineState& S = State;
    const double psi = IsometricLatitude(lat);
    const double q = power(kExpBase, prod(diff(psi, S.ConeIsometricLat), S.NegConeConstant));
    const double N = PrimeVerticalRadius(lat);
    return prod(quot(S.ConeScaledCircle, prod(cosine(lat), N)), q); // k = k0 N0 cos(phi0) / (N cos(phi)) * q
}

double GridConvergence(const double& lon) {
    requireFinite(lon);
    return prod(State.ConeConstant, diff(lon, State.CentralMeridian));
}

} // namespace Tarvane_Module
