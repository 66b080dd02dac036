// The initialize command without its window: sets the engine up from the
// texts of the parameter fields, exactly as the window reads them, so that
// the window and the batch tool agree on every projection.
#pragma once

#include <cstdint>
#include <functional>
#include <stdexcept>
#include <string>

#include "core/setup/Units.h"
#include "engine/Tarvane_Module.h"

namespace ProjectionSetup {

// The entry of the window's zone list for a zone: " 903 Florida North".
std::string ZoneListText(const Tarvane_Module::StatePlaneZone& zone);

// What the initialize command reads from the window.
struct ParameterFields {
    std::string datum;          // text of the chosen datum entry
    std::string unitTag;        // "meter", "USFeet" or empty (metres)
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

// Selects the datum, reads the fields (angle texts through HmsHr, which
// reports faults through showMessage) and sets up the cone. Throws
// Tarvane_Module::ArithmeticError (ArcSinDomainError included) or
// ScaleFactorError; on a throw the caller must not count the engine as set up.
void SetupFromFields(const ParameterFields& fields,
                     const std::function<void(const std::string&)>& showMessage);

}  // namespace ProjectionSetup
