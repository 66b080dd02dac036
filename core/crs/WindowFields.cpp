#include "core/crs/WindowFields.h"

#include <algorithm>
#include <cmath>

#include "core/text/AngleText.h"

namespace Epsg {

bool WindowFields(const Grid& grid, char decimalSeparator, ProjectionSetup::ParameterFields& fields,
                  std::string& reason) {
    ProjectionSetup::ParameterFields f;
    switch (grid.ellipsoidCode) {
        case 7030: f.datum = Datum::WGS84; break;  // WGS 84
        case 7019: f.datum = Datum::NAD83; break;  // GRS 1980
        case 7008: f.datum = Datum::NAD27; break;  // Clarke 1866
        default:
            reason = "its ellipsoid, " + grid.ellipsoidName +
                     ", is none of the window's datums (WGS84, NAD83 on GRS 1980, NAD27 on Clarke 1866)";
            return false;
    }
    switch (grid.unitCode) {
        case 9001: f.unit = GridUnit::Metre; break;
        case 9003: f.unit = GridUnit::USFeet; break;
        default:
            reason = "its unit, the " + grid.unitName + ", is neither the metre nor the US survey foot";
            return false;
    }
    const ProjectionSetup::ProjectionParameters& p = grid.parameters;
    // In the window's angle text, with the 3 decimals of its own fields where
    // they hold the registry's value, else 4 (WISCRS county grids and others
    // give seconds to 5 decimals: 3 would move their grid by up to 15 mm).
    const auto angle = [decimalSeparator](double degrees, AngleKind kind) {
        const double milliseconds = degrees * 3600e3;
        const bool exact = std::abs(milliseconds - std::round(milliseconds)) < 1e-6;
        return HrHms(degrees, kind, AngleStyle::Form, exact ? 3 : 4, decimalSeparator);
    };
    f.oneParallel = p.oneParallel;
    f.parallel[0] = angle(p.originLat, AngleKind::Latitude);
    if (p.oneParallel) {
        f.parallel[1] = ProjectionSetup::PlainNumber(p.scaleFactor, decimalSeparator);
    } else {
        // The registry names either parallel first; the window's rows are the
        // southern, then the northern one (the cone is the same either way).
        f.parallel[1] = angle(std::min(p.parallel1, p.parallel2), AngleKind::Latitude);
        f.parallel[2] = angle(std::max(p.parallel1, p.parallel2), AngleKind::Latitude);
    }
    f.centralMeridian = angle(p.centralMeridian, AngleKind::Longitude);
    f.falseNorthing = ProjectionSetup::PlainNumber(p.falseNorthing, decimalSeparator);
    f.falseEasting = ProjectionSetup::PlainNumber(p.falseEasting, decimalSeparator);
    fields = f;
    return true;
}

}  // namespace Epsg
