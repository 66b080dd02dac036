#include "cli/BatchProjection.h"

#include <algorithm>

#include "core/calc/Calculator.h"
#include "core/setup/Causes.h"
#include "core/text/AngleInput.h"
#include "engine/Tarvane_Module.h"

namespace BatchProjection {

namespace {

// The window's reading of its fields, where every message it would show is
// an error instead.
bool FromFields(const ProjectionSetup::ParameterFields& fields, ProjectionParameters& p, std::string& error) {
    std::string messages;
    try {
        p = ProjectionSetup::ReadFields(fields, [&messages](const std::string& message) {
            messages += (messages.empty() ? "" : "; ") + message;
        });
    } catch (const ProjectionSetup::ScaleFactorError& e) {
        error = e.what();
        return false;
    }
    if (!messages.empty()) error = "the projection's angles are not valid: " + messages;
    return messages.empty();
}

bool Angle(const char* option, const std::string& text, AngleKind kind, double& degrees,
           std::string& error) {
    if (text.empty()) {
        error = std::string(option) + " is missing";
        return false;
    }
    if (BatchInput::ReadAngle(text, kind, degrees, error)) return true;
    error = std::string(option) + ": " + error;
    return false;
}

bool Number(const char* option, const std::string& text, double& value, std::string& error) {
    if (BatchInput::ReadNumber(text, value)) return true;
    error = std::string(option) + ": " + BatchInput::Quote(text) + " is not a number";
    return false;
}

}  // namespace

bool ZoneParameters(bool is1927, std::int16_t zoneNumber, ProjectionParameters& p, std::string& error) {
    return FromFields(ProjectionSetup::ZoneFields(is1927, zoneNumber, '.'), p, error);
}

bool SettingsParameters(const TarvaneSettings& s, ProjectionParameters& p, std::string& error) {
    Calc::Calculator window('.', [](const std::string&) {});
    window.Load(s);
    return FromFields(window.Fields(), p, error);
}

bool ConeParameters(const ConeOptions& o, ProjectionParameters& p, std::string& error) {
    p = {};
    p.datum = DatumNamed(o.datum).value_or(Datum::WGS84);  // the options take only the table's names
    p.unitsPerMetre = UnitsPerMetre(UnitTagged(o.unit).value_or(GridUnit::Metre));
    p.oneParallel = !o.parallel.empty() || !o.scale.empty();
    if (p.oneParallel) {
        if (!Angle("--parallel", o.parallel, AngleKind::Latitude, p.originLat, error)) return false;
        if (o.scale.empty()) {
            error = "--scale is missing";
            return false;
        }
        if (!Number("--scale", o.scale, p.scaleFactor, error)) return false;
    } else if (!Angle("--origin", o.origin, AngleKind::Latitude, p.originLat, error) ||
               !Angle("--parallels", o.parallel1, AngleKind::Latitude, p.parallel1, error) ||
               !Angle("--parallels", o.parallel2, AngleKind::Latitude, p.parallel2, error)) {
        return false;
    }
    return Angle("--meridian", o.meridian, AngleKind::Longitude, p.centralMeridian, error) &&
           Number("--false-northing", o.falseNorthing, p.falseNorthing, error) &&
           Number("--false-easting", o.falseEasting, p.falseEasting, error);
}

void DescribeGrid(const Epsg::Grid& grid, BatchConvert::Format& f) {
    if (grid.west != 0 || grid.east != 0)
        f.area = BatchConvert::Area{grid.west, grid.south, grid.east, grid.north,
                                    "EPSG:" + std::to_string(grid.code) + " (" + grid.name + ")"};
    f.datum = grid.geographicName;
    f.nearWgs84 = grid.ellipsoidCode == 7030 || grid.ellipsoidCode == 7019;  // WGS 84, GRS 1980
}

void DescribeZoneGrid(const Epsg::Grid& grid, BatchConvert::Format& f) {
    const std::string datum = f.datum;
    DescribeGrid(grid, f);
    f.datum = datum;
}

void DescribeDatum(Datum datum, BatchConvert::Format& f) {
    f.datum = datum == Datum::WGS84 ? "WGS 84" : DatumName(datum);
    f.nearWgs84 = datum != Datum::NAD27;
}

int ZoneGridCode(bool is1927, std::int16_t number) {
    for (const auto& zone : Tarvane_Module::StatePlaneZones())
        if (zone.number == number) return is1927 ? zone.epsg1927 : zone.epsg1983;
    return 0;
}

int StoredZoneGridCode(const TarvaneSettings& s) {
    const auto zones = Tarvane_Module::StatePlaneZones();
    if (s.iOption == 0 || s.iZone < 0 || static_cast<std::size_t>(s.iZone) >= zones.size()) return 0;
    return ZoneGridCode(s.iOption == 2, zones[static_cast<std::size_t>(s.iZone)].number);
}

bool Setup(const ProjectionParameters& parameters, std::string& error) {
    using namespace Tarvane_Module;
    try {
        ProjectionSetup::Setup(parameters);
        return true;
    } catch (const ArcSinDomainError& e) {
        error = std::string(e.what()) + " (the standard parallels give no cone)";
    } catch (const ArithmeticError& e) {
        error = std::string("the projection cannot be set up: ") + Causes::KindName(e.kind()) + ": " +
                Causes::Cause(Causes::Step::SetUp, e.kind()) +
                (e.kind() == ArithmeticErrorKind::InvalidOperation ? "; use --parallel and --scale" : "");
    } catch (const ProjectionSetup::ScaleFactorError& e) {
        error = e.what();
    }
    return false;
}

}  // namespace BatchProjection
