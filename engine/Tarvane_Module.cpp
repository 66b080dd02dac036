// The geodetic engine: ellipsoid, cone set-up and conversions.  The formulas
// are those of the ellipsoidal Lambert conformal conic in J. P. Snyder,
// "Map Projections: A Working Manual", USGS Professional Paper 1395 (1987),
// chapter 15; equation numbers below are his.
//
// Results must agree bit for bit with stored results, so every formula below
// keeps its operation order and its constants exactly, odd ones included:
// 2.718281828 as the base of every power that stands for exp(),
// 0.7853981633975 for pi/4, pow(s, 2.0) and pow(W, 3.0) for squares and
// cubes, -n as n * -1.0.  Do not "simplify" them, nor regroup a sum or a
// product; the tests compare against the stored values.

#include "engine/Tarvane_Module.h"

#include "engine/Checked.h"

namespace Tarvane_Module {

EngineState State;

void RestoreState(const EngineState& saved) { State = saved; }

ArithmeticError::ArithmeticError(ArithmeticErrorKind kind, const std::string& message)
    : std::runtime_error(message), kind_(kind) {}

ArcSinDomainError::ArcSinDomainError()
    : ArithmeticError(ArithmeticErrorKind::InvalidArgument, "ARCSINUS DATA ERROR") {}

namespace {

constexpr double kExpBase = 2.718281828;       // stands for e in every exp()
constexpr double kQuarterPi = 0.7853981633975; // stands for pi/4
constexpr double kTolerance = 1e-9;            // latitude iteration, radians

// N = a / sqrt(1 - e^2 sin^2 phi), Snyder (4-20)
Checked normalRadius(Checked phi) {
    const Checked e2{State.EccentricitySquared};
    return State.SemiMajorAxis / sqrt(1.0 - pow(sin(phi), 2.0) * e2);
}

// psi = ln(tan(pi/4 + phi/2) ((1 - e sin phi) / (1 + e sin phi))^(e/2)),
// that is -ln t with t of Snyder (15-9)
Checked isometric(Checked phi) {
    const Checked es = State.Eccentricity * sin(phi);
    const Checked P = pow((1.0 - es) / (es + 1.0), State.HalfEccentricity);
    const Checked T = tan(phi / 2.0 + kQuarterPi);
    return log(T * P);
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
    State.Eccentricity = sqrt(Checked{State.EccentricitySquared});
    State.HalfEccentricity = Checked{State.Eccentricity} / 2.0;
}

void SetEllipsoid(const double& semiMajorAxis, const double& inverseFlattening) {
    const Checked a = finite(semiMajorAxis), rf = finite(inverseFlattening);
    State.SemiMajorAxis = a;
    if (rf == 0.0) {
        State.EccentricitySquared = 0.0;
    } else {
        const Checked f = 1.0 / rf;
        State.EccentricitySquared = 2.0 * f - f * f;
    }
    State.Eccentricity = sqrt(Checked{State.EccentricitySquared});
    State.HalfEccentricity = Checked{State.Eccentricity} / 2.0;
}

double PrimeVerticalRadius(const double& lat) { return normalRadius(finite(lat)); }

double MeridianRadius(const double& lat) {
    const Checked phi = finite(lat), a{State.SemiMajorAxis}, e2{State.EccentricitySquared};
    const Checked W = sqrt(1.0 - pow(sin(phi), 2.0) * e2);
    return (1.0 - e2) * a / pow(W, 3.0); // M, Snyder (4-18)
}

double IsometricLatitude(const double& lat) { return isometric(finite(lat)); }

double ArcSin(const double& x) {
    const Checked s = finite(x);
    if (s > 1.0)
        throw ArcSinDomainError();
    if (s == 1.0)
        return atan(Checked{1.0}) * 4.0 / 2.0;
    if (s == -1.0)
        return atan(Checked{1.0}) * -4.0 / 2.0;
    if (s < -1.0)
        throw ArcSinDomainError();
    return atan(s / sqrt(1.0 - s * s));
}

void EquivalentParallel(const double& parallel1, const double& parallel2, double& equivalentParallel,
                        double& scaleFactor) {
    const Checked phi1 = finite(parallel1), phi2 = finite(parallel2);
    const Checked psi1 = isometric(phi1), psi2 = isometric(phi2);
    const Checked N1 = normalRadius(phi1), N2 = normalRadius(phi2);
    const Checked c1 = cos(phi1), c2 = cos(phi2);
    const Checked L2 = log(c2 * N2), L1 = log(c1 * N1);
    // Snyder (15-8) with m = N cos(phi) / a and ln t = -psi: n = (ln m1 - ln m2) / (psi2 - psi1)
    equivalentParallel = (L1 - L2) / (psi2 - psi1);
    equivalentParallel = ArcSin(equivalentParallel);
    const Checked phi0{equivalentParallel};
    const Checked psi0 = isometric(phi0), N0 = normalRadius(phi0);
    // k0 = (m1 / m0) (t0 / t1)^n: the F of Snyder (15-10) taken at phi1, over F taken at phi0, so that
    // the scale is 1 on both parallels
    scaleFactor = pow(kExpBase, sin(phi0) * (psi1 - psi0));
    scaleFactor = c1 * N1 / (cos(phi0) * N0) * scaleFactor;
}

void SetupSingleParallel(const double& parallel, const double& scaleFactor, const double& centralMeridian,
                         const double& falseNorthing, const double& falseEasting) {
    // Copies: a caller may pass fields of the record itself.
    const Checked phi0 = finite(parallel), k0 = finite(scaleFactor), lambda0 = finite(centralMeridian);
    const Checked fn = finite(falseNorthing), fe = finite(falseEasting);

    // Each field is stored as soon as it is known, so a failure leaves the
    // earlier ones set.
    EngineState& S = State;
    S.ConeParallel = phi0;
    const Checked n = sin(phi0); // one standard parallel: n = sin(phi0)
    S.ConeConstant = n;
    S.NegConeConstant = n * -1.0;
    S.ScaleFactor = k0;
    S.ConeIsometricLat = isometric(phi0);
    const Checked N0 = normalRadius(phi0);
    S.ConeNormalRadius = N0;
    const Checked k0N0 = N0 * k0;
    S.ConeScaledNormal = k0N0;
    S.ConeScaledCircle = k0N0 * cos(phi0);
    S.ConeMapRadius = k0N0 / tan(phi0); // rho0 = k0 N0 cot(phi0)
    S.ConeCotRadius = N0 * cos(phi0) / sin(phi0);
    S.ConeMapRadiusInv = S.ConeCotRadius * k0; // rho0 again, by another path
    S.CentralMeridian = lambda0;
    S.FalseNorthing = fn;
    S.FalseEasting = fe;
    S.NorthingOffset = 0.0;
}

namespace {

// The cone of two parallels, its false northing still on the equivalent parallel.
void SetupEquivalentCone(const Checked phi1, const Checked phi2, const Checked lambda0, const Checked fn,
                         const Checked fe) {
    double phi0 = 0.0, k0 = 0.0;
    EquivalentParallel(phi1, phi2, phi0, k0);
    SetupSingleParallel(phi0, k0, lambda0, fn, fe);
}

} // namespace

void SetupProjection(const double& originLat, const double& parallel1, const double& parallel2,
                     const double& centralMeridian, const double& falseNorthing, const double& falseEasting) {
    const Checked lat0 = finite(originLat), phi1 = finite(parallel1), phi2 = finite(parallel2);
    const Checked lambda0 = finite(centralMeridian), fn = finite(falseNorthing), fe = finite(falseEasting);
    SetupEquivalentCone(phi1, phi2, lambda0, fn, fe);
    // Move the false northing from phi0 to the latitude of origin.
    double easting = 0.0, northing = 0.0;
    GeoToGrid(lat0, lambda0, easting, northing);
    State.NorthingOffset = northing - fn;
}

void SetupProjectionAtPole(const double& originLat, const double& parallel1, const double& parallel2,
                           const double& centralMeridian, const double& falseNorthing, const double& falseEasting) {
    const Checked lat0 = finite(originLat), phi1 = finite(parallel1), phi2 = finite(parallel2);
    const Checked lambda0 = finite(centralMeridian), fn = finite(falseNorthing), fe = finite(falseEasting);
    SetupEquivalentCone(phi1, phi2, lambda0, fn, fe);
    // rho -> 0 at the pole on the side of the cone (n > 0: north); rho -> inf at the other.
    if ((lat0 > 0.0) != (State.ConeConstant > 0.0))
        raise(ArithmeticErrorKind::InvalidArgument);
    // GeoToGrid's northing with q = 0, so that NorthingOffset is what
    // SetupProjection would store in the limit.
    const Checked northing = Checked{State.ConeMapRadius} - State.NorthingOffset + fn;
    State.NorthingOffset = northing - fn;
}

void GeoToGrid(const double& lat, const double& lon, double& easting, double& northing) {
    const Checked phi = finite(lat), lambda = finite(lon);
    const EngineState& S = State;
    const Checked d = isometric(phi) - S.ConeIsometricLat;
    const Checked dlambda = lambda - S.CentralMeridian;     // deliberately not reduced to +-pi
    const Checked q = pow(kExpBase, S.NegConeConstant * d); // rho = rho0 q, Snyder (15-7)
    const Checked theta = S.ConeConstant * dlambda;         // (14-4)
    easting = S.ConeMapRadius * q * sin(theta) + S.FalseEasting;                              // (14-1)
    northing = (1.0 - cos(theta) * q) * S.ConeMapRadius - S.NorthingOffset + S.FalseNorthing; // (14-2)
}

void GridToGeo(const double& easting, const double& northing, double& lat, double& lon,
               std::int16_t& iterations) {
    const Checked E = finite(easting), N = finite(northing);
    const EngineState& S = State;
    // rho0 - y: distance from the apex along the central meridian, signed as the cone
    const Checked rho = S.ConeMapRadiusInv - (S.NorthingOffset + N - S.FalseNorthing);
    const Checked x = E - S.FalseEasting;
    const Checked theta = atan(x / rho); // Snyder (14-11)
    const Checked r = rho / cos(theta);
    const Checked dlambda = theta / S.ConeConstant; // (14-9)
    const Checked dpsi = -log(r / S.ConeMapRadiusInv) / S.ConeConstant; // r = rho0 exp(-n dpsi), (15-7)
    const Checked psi = S.ConeIsometricLat + dpsi;
    LatitudeFromIsometric(psi, lat, iterations);
    lon = S.CentralMeridian + dlambda;
}

void LatitudeFromIsometric(const double& isometricLat, double& lat, std::int16_t& iterations) {
    const Checked psi = finite(isometricLat); // a copy: lat may be the same variable
    const Checked e{State.Eccentricity};
    // The fixed point of phi = 2 atan(exp(psi) ((1 + e sin phi) / (1 - e sin phi))^(e/2)) - pi/2,
    // Snyder (7-9) with t = exp(-psi)
    lat = psi;
    // The same in every pass, so taken once; its overflow still comes after
    // lat = psi and before the first count, as it did inside the loop.
    const Checked expPsi = pow(kExpBase, psi);
    for (;;) {
        const Checked prev{lat};
        const Checked es = e * sin(prev);
        const Checked a = atan(expPsi * pow((es + 1.0) / (1.0 - es), State.HalfEccentricity));
        lat = (a - kQuarterPi) + (a - kQuarterPi);
        if (iterations == INT16_MAX) [[unlikely]]
            raise(ArithmeticErrorKind::Overflow);
        ++iterations;
        if (abs(lat - prev) < kTolerance)
            return;
    }
}

double PointScaleFactor(const double& lat) {
    const Checked phi = finite(lat);
    const EngineState& S = State;
    const Checked q = pow(kExpBase, (isometric(phi) - S.ConeIsometricLat) * S.NegConeConstant);
    const Checked N = normalRadius(phi);
    return S.ConeScaledCircle / (cos(phi) * N) * q; // k = k0 m0 / m (t / t0)^n
}

double GridConvergence(const double& lon) {
    const Checked lambda = finite(lon);
    return State.ConeConstant * (lambda - State.CentralMeridian); // (14-4)
}

} // namespace Tarvane_Module
