#include "core/setup/ProjectionSetup.h"

#include <algorithm>
#include <charconv>
#include <cmath>

#include <fmt/format.h>

#include "core/text/AngleText.h"
#include "core/text/Floats.h"
#include "core/text/NumberText.h"
#include "engine/Tarvane_Module.h"

namespace ProjectionSetup {

bool ReadScaleFactor(const std::string& text, double& scaleFactor) {
    std::size_t first = text.find_first_not_of(" \t");
    std::size_t last = text.find_last_not_of(" \t");
    if (first == std::string::npos) return false;
    std::string number = text.substr(first, last - first + 1);
    // A region with a decimal comma types "1,00"; the option handler writes "1.00".
    for (char& c : number) {
        if (c == ',') c = '.';
    }
    // from_chars takes no plus sign; a second one stays and is refused.
    if (number.front() == '+') number.erase(0, 1);
    double value = 0.0;
    const char* begin = number.data();
    const char* end = begin + number.size();
    auto [ptr, ec] = ParseFloat(begin, end, value, FloatForm::General);
    if (ec != std::errc() || ptr != end || !std::isfinite(value)) return false;
    scaleFactor = value;
    return true;
}

std::string PlainNumber(double value, char decimalSeparator) {
    std::string text = value == std::floor(value) && std::fabs(value) < 1e15
                           ? std::to_string(static_cast<long long>(value))
                           : fmt::format("{:.15g}", value);
    for (char& c : text) {
        if (c == '.') c = decimalSeparator;
    }
    return text;
}

std::string ZoneListText(const Tarvane_Module::StatePlaneZone& zone) {
    std::string number = std::to_string(zone.number);
    return std::string(4 - std::min<std::size_t>(4, number.size()), ' ') + number + ' ' + zone.listName;
}

ParameterFields ZoneFields(bool is1927, std::int16_t zoneNumber, char decimalSeparator) {
    std::string name;
    double southern = 0.0, northern = 0.0, origin = 0.0, meridian = 0.0;
    double falseEasting = 0.0, falseNorthing = 0.0;
    // The 1927 flag is true as all bits set.
    const std::int16_t flag = is1927 ? -1 : 0;
    Tarvane_Module::GetZoneParameters(flag, zoneNumber, name, southern, northern, origin, meridian,
                                      falseEasting, falseNorthing);
    const auto angle = [decimalSeparator](double radians, AngleKind kind) {
        return HrHms(radians * kRadToDeg, kind, AngleStyle::Form, 3, decimalSeparator);
    };
    ParameterFields f;
    f.datum = is1927 ? Datum::NAD27 : Datum::NAD83;
    f.unit = is1927 ? GridUnit::USFeet : GridUnit::Metre;
    f.oneParallel = false;
    f.parallel[0] = angle(origin, AngleKind::Latitude);
    f.parallel[1] = angle(southern, AngleKind::Latitude);
    f.parallel[2] = angle(northern, AngleKind::Latitude);
    f.centralMeridian = angle(meridian, AngleKind::Longitude);
    f.falseNorthing = PlainNumber(falseNorthing, decimalSeparator);
    f.falseEasting = PlainNumber(falseEasting, decimalSeparator);
    return f;
}

ProjectionParameters ReadFields(const ParameterFields& fields,
                                const std::function<void(const std::string&)>& showMessage) {
    ProjectionParameters p;
    p.datum = fields.datum;
    p.unitsPerMetre = UnitsPerMetre(fields.unit);
    p.oneParallel = fields.oneParallel;
    p.originLat = HmsHr(fields.parallel[0], AngleKind::Latitude, showMessage);
    p.centralMeridian = HmsHr(fields.centralMeridian, AngleKind::Longitude, showMessage);
    p.falseNorthing = XVal(fields.falseNorthing);
    p.falseEasting = XVal(fields.falseEasting);
    if (p.oneParallel) {
        if (!ReadScaleFactor(fields.parallel[1], p.scaleFactor)) {
            throw ScaleFactorError("The scale factor \"" + fields.parallel[1] +
                                   "\" is not a number. Type a decimal number such as 1.00 or 0.9996.");
        }
    } else {
        p.parallel1 = HmsHr(fields.parallel[1], AngleKind::Latitude, showMessage);
        p.parallel2 = HmsHr(fields.parallel[2], AngleKind::Latitude, showMessage);
    }
    return p;
}

void Setup(const ProjectionParameters& p) {
    using namespace Tarvane_Module;
    // A scale factor of 0 maps every point to one grid point; a negative one
    // mirrors the grid.
    if (p.oneParallel && !(p.scaleFactor > 0.0)) throw ScaleFactorError("The scale factor must be greater than 0.");
    if (p.ellipsoid) {
        SetEllipsoid(p.ellipsoid->semiMajorAxis, p.ellipsoid->inverseFlattening);
    } else {
        SetDatum(DatumName(p.datum));
    }
    const double origin = p.originLat * kDegToRad;
    const double centralMeridian = p.centralMeridian * kDegToRad;
    // Dividing by 1 leaves metres as they are.
    const double falseNorthing = p.falseNorthing / p.unitsPerMetre;
    const double falseEasting = p.falseEasting / p.unitsPerMetre;
    if (p.oneParallel) {
        SetupSingleParallel(origin, p.scaleFactor, centralMeridian, falseNorthing, falseEasting);
    } else if (std::fabs(p.originLat) == 90.0) {
        // The window's factor takes 90 degrees a hair beyond the pole, where
        // the grid has no value; the pole itself has a place on the cone.
        SetupProjectionAtPole(origin, p.parallel1 * kDegToRad, p.parallel2 * kDegToRad, centralMeridian,
                              falseNorthing, falseEasting);
    } else {
        SetupProjection(origin, p.parallel1 * kDegToRad, p.parallel2 * kDegToRad, centralMeridian, falseNorthing,
                        falseEasting);
    }
}

void SetupFromFields(const ParameterFields& fields, const std::function<void(const std::string&)>& showMessage) {
    Setup(ReadFields(fields, showMessage));
}

}  // namespace ProjectionSetup
