// The initialize command without its window: sets the engine up from the
// texts of the parameter fields, exactly as the window reads them, so that
// the window and the batch tool agree on every projection.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <stdexcept>
#include <string>

#include "core/setup/Units.h"
#include "engine/Tarvane_Module.h"

namespace ProjectionSetup {

// The entry of the window's zone list for a zone: " 903 Florida North".
std::string ZoneListText(const Tarvane_Module::StatePlaneZone& zone);

// What the initialize command reads from the window.
struct ParameterFields {
    Datum datum = Datum::WGS84;
    GridUnit unit = GridUnit::Metre;  // no unit chosen yet counts as metres
    bool oneParallel = false;   // "One Standard Parallel" chosen
    std::string parallel[3];    // origin/single parallel, southern (or scale factor), northern
    std::string centralMeridian;
    std::string falseNorthing;
    std::string falseEasting;
};

// What the parameter fields hold once a State Plane zone of the 1927 (true)
// or 1983 system is chosen: the table's angles in the window's angle text with
// 3 decimals, the false values as plain numbers in the system's unit, two
// parallels, and the system's datum and unit.
ParameterFields ZoneFields(bool is1927, std::int16_t zoneNumber, char decimalSeparator);

// A number as plain text: whole numbers without decimals, anything else with
// 15 significant digits and the given decimal separator.
std::string PlainNumber(double value, char decimalSeparator);

// Raised when the scale-factor text of a one-parallel projection is not a
// number greater than 0.
class ScaleFactorError : public std::runtime_error {
public:
    explicit ScaleFactorError(const std::string& message) : std::runtime_error(message) {}
};

// Reads a scale factor typed with a point or a comma as the decimal mark.
// The whole text (blanks around it aside) must be one finite number.
bool ReadScaleFactor(const std::string& text, double& scaleFactor);

// An ellipsoid by its size and shape, for a grid on none of the named datums.
struct Ellipsoid {
    double semiMajorAxis = 0.0;      // a, metres
    double inverseFlattening = 0.0;  // 1/f; 0 for a sphere
};

// A projection as numbers, in the units the user gives them: what the
// initialize command hands the engine once it has read the fields.
struct ProjectionParameters {
    Datum datum = Datum::WGS84;
    std::optional<Ellipsoid> ellipsoid;  // when given, the ellipsoid instead of the datum's
    double unitsPerMetre = 1.0;      // grid units in a metre: 1, or kFeetPerMetre for US survey feet
    bool oneParallel = false;        // one standard parallel with its scale factor
    double originLat = 0.0;          // degrees: latitude of origin, or the one standard parallel
    double parallel1 = 0.0;          // degrees, two parallels: southern
    double parallel2 = 0.0;          // degrees, two parallels: northern
    double scaleFactor = 1.0;        // one parallel
    double centralMeridian = 0.0;    // degrees
    double falseNorthing = 0.0;      // grid unit
    double falseEasting = 0.0;       // grid unit
};

// Reads the fields as the window's initialize command reads them, in its
// order: angle texts through HmsHr, which reports each fault through
// showMessage and goes on with a default; lengths through XVal; the scale
// factor with a point or a comma. Throws ScaleFactorError when the scale
// factor is not a number.
ProjectionParameters ReadFields(const ParameterFields& fields,
                                const std::function<void(const std::string&)>& showMessage);

// Selects the datum (or the ellipsoid) and sets up the cone: degrees to
// radians and feet to metres with the window's factors, then the engine's
// set-up; two parallels with the latitude of origin at 90 degrees north or
// south place the false northing at the pole. Throws
// Tarvane_Module::ArithmeticError (ArcSinDomainError included), or
// ScaleFactorError for a scale factor that is not above 0; on a throw the
// caller must not count the engine as set up.
void Setup(const ProjectionParameters& parameters);

// The initialize command without its window: ReadFields, then Setup.
void SetupFromFields(const ParameterFields& fields,
                     const std::function<void(const std::string&)>& showMessage);

}  // namespace ProjectionSetup
