// TARVANE geodetic engine: ellipsoid, Lambert conformal conic set-up,
// conversions between geographic and grid co-ordinates, State Plane zones.
//
// Angles are radians, lengths metres, everything a double.  The engine is a
// set of plain functions over one module-wide record, Tarvane_Module::State.
// Arguments are passed by reference; inputs are only read, results come back
// through out-arguments or as the function result.
//
// Every floating-point step is checked.  A failing step throws
// ArithmeticError at once; whatever was written before that step (record
// fields or out-arguments) keeps its new value, the rest keeps its old one.
// An input that is not finite (NaN, +-inf) throws ArithmeticError of kind
// InvalidArgument before anything is written.
#pragma once

#include <cstdint>
#include <span>
#include <stdexcept>
#include <string>

namespace Tarvane_Module {

enum class ArithmeticErrorKind { InvalidOperation, DivisionByZero, Overflow, InvalidArgument };

class ArithmeticError : public std::runtime_error {
public:
    ArithmeticError(ArithmeticErrorKind kind, const std::string& message);
    ArithmeticErrorKind kind() const noexcept { return kind_; }

private:
    ArithmeticErrorKind kind_;
};

// ArcSin of a value outside -1..1 (kind InvalidArgument).  A distinct type so
// that the window can show "ARCSINUS DATA ERROR", which is also its what().
class ArcSinDomainError : public ArithmeticError {
public:
    ArcSinDomainError();
};

// The ellipsoid (fields 1-4, written by SetDatum) and the cone (fields 5-19,
// written by SetupSingleParallel / SetupProjection).  All 0.0 at start.
struct EngineState {
    double SemiMajorAxis = 0.0;       // a
    double EccentricitySquared = 0.0; // e^2
    double Eccentricity = 0.0;        // e
    double HalfEccentricity = 0.0;    // e/2
    double ConeParallel = 0.0;        // phi0
    double ConeConstant = 0.0;        // n = sin(phi0)
    double NegConeConstant = 0.0;     // n * -1.0
    double ConeIsometricLat = 0.0;    // psi0
    double ScaleFactor = 0.0;         // k0 on phi0
    double ConeNormalRadius = 0.0;    // N0
    double ConeScaledNormal = 0.0;    // N0 * k0
    double ConeScaledCircle = 0.0;    // N0 * k0 * cos(phi0)
    double ConeMapRadius = 0.0;       // N0 * k0 / tan(phi0), used forward
    double ConeCotRadius = 0.0;       // N0 * cos(phi0) / sin(phi0)
    double ConeMapRadiusInv = 0.0;    // ConeCotRadius * k0, used inverse
    double CentralMeridian = 0.0;     // lambda0
    double FalseNorthing = 0.0;
    double FalseEasting = 0.0;
    double NorthingOffset = 0.0;      // northing of the origin less FalseNorthing (two parallels)

    bool operator==(const EngineState&) const = default;
};
static_assert(sizeof(EngineState) == 19 * sizeof(double));

// The one module-wide record.  Callers may read it; only the engine writes it.
extern EngineState State;

// Puts back a record read earlier, so that work on a cone of its own (the
// design of a grid) leaves the caller's set-up as it found it.
void   RestoreState(const EngineState& saved);

// Ellipsoid: "WGS84", "NAD83" or "NAD27" (exact match); an unknown name keeps
// a and e^2 and recomputes e and e/2 from them.
void   SetDatum(const std::string& datumName);
// Any other ellipsoid: a in metres and 1/f, with e^2 = 2f - f^2 in double
// arithmetic for f = 1 / (1/f), as the named datums were made (each datum's
// published 1/f gives its stored e^2 bit for bit).  1/f = 0 is a sphere.
void   SetEllipsoid(const double& semiMajorAxis, const double& inverseFlattening);
double PrimeVerticalRadius(const double& lat);
double MeridianRadius(const double& lat);

// Projection set-up.
double IsometricLatitude(const double& lat);
double ArcSin(const double& x); // throws ArcSinDomainError outside -1..1
void   EquivalentParallel(const double& parallel1, const double& parallel2, double& equivalentParallel,
                          double& scaleFactor);
void   SetupSingleParallel(const double& parallel, const double& scaleFactor, const double& centralMeridian,
                           const double& falseNorthing, const double& falseEasting);
void   SetupProjection(const double& originLat, const double& parallel1, const double& parallel2,
                       const double& centralMeridian, const double& falseNorthing, const double& falseEasting);
// SetupProjection for a latitude of origin at a pole (only the sign of
// originLat is read).  The pole at the cone's apex has map radius 0, so the
// false northing is placed there without evaluating the grid at the pole,
// where the isometric latitude has no finite value; the other pole lies at
// infinity and throws InvalidArgument, as SetupProjection does.
void   SetupProjectionAtPole(const double& originLat, const double& parallel1, const double& parallel2,
                             const double& centralMeridian, const double& falseNorthing, const double& falseEasting);

// Conversions.  iterations is the caller's counter: each pass of the latitude
// iteration adds one; passing 32767 throws Overflow and leaves it unchanged.
void   GeoToGrid(const double& lat, const double& lon, double& easting, double& northing);
void   GridToGeo(const double& easting, const double& northing, double& lat, double& lon,
                 std::int16_t& iterations);
void   LatitudeFromIsometric(const double& isometricLat, double& lat, std::int16_t& iterations);
double PointScaleFactor(const double& lat);

// Meridian convergence gamma = n * (lon - lambda0), radians, positive east of
// the central meridian on a northern cone.
double GridConvergence(const double& lon);

// State Plane zones 903, 1701-1703, 4203-4205.  A nonzero is1927 selects the
// 1927 values (false easting 2000000 US ft, false northing 0 whatever the
// zone); an unknown zone writes nothing else.
void   GetZoneParameters(const std::int16_t& is1927, const std::int16_t& zoneNumber, std::string& zoneName,
                         double& southernParallel, double& northernParallel, double& originLat,
                         double& centralMeridian, double& falseEasting, double& falseNorthing);

// The zones of the table, in the order the window lists them: the zone
// number, the name GetZoneParameters gives, and the shorter name the user
// sees in the zone list (" 903 Florida North" is the number, four wide, a
// blank and this name), and the codes of the zone's grids in the EPSG
// registry (in metres on NAD83, in US survey feet on NAD27).
struct StatePlaneZone {
    std::int16_t number;
    const char* name;
    const char* listName;
    int epsg1983;
    int epsg1927;
};
std::span<const StatePlaneZone> StatePlaneZones();

} // namespace Tarvane_Module
