#include "cli/DesignProgram.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstring>

#include <fmt/format.h>

#include "cli/BatchProjection.h"
#include "cli/ProjectPoints.h"
#include "core/calc/Calculator.h"
#include "core/crs/Definition.h"
#include "core/crs/Registry.h"
#include "core/crs/WindowFields.h"
#include "core/ground/Design.h"
#include "core/text/AngleText.h"
#include "engine/Tarvane_Module.h"

namespace DesignProgram {

namespace {

using ConvertOptions::Options;

void Say(const std::string& text) { BatchConvert::WriteAll(2, "tarvane-convert: " + text + "\n"); }

// The grid --compare or --compare-epsg names; false with the reason when it
// cannot be read.
bool ReadCompare(const Options& o, NamedGrid& grid, std::string& error) {
    if (*o.compareOption) {
        const bool is1927 = o.system == "1927";
        if (!BatchProjection::ZoneParameters(is1927, o.compare, grid.parameters, error)) return false;
        grid.fitsWindow = true;
        grid.datum = is1927 ? Datum::NAD27 : Datum::NAD83;
        grid.unit = is1927 ? GridUnit::USFeet : GridUnit::Metre;
        grid.label = "zone " + std::to_string(o.compare);
        for (const auto& zone : Tarvane_Module::StatePlaneZones())
            if (zone.number == o.compare)
                grid.name = fmt::format("State Plane {}, zone {} {}", is1927 ? 1927 : 1983, zone.number, zone.listName);
    } else if (*o.compareEpsgOption) {
        try {
            const Epsg::Grid epsg = Epsg::Registry().Read(o.compareEpsg);
            grid.parameters = epsg.parameters;
            ProjectionSetup::ParameterFields fields;
            std::string reason;
            grid.fitsWindow = Epsg::WindowFields(epsg, '.', fields, reason);
            grid.datum = fields.datum, grid.unit = fields.unit;
            grid.label = "EPSG:" + std::to_string(epsg.code);
            grid.name = epsg.name;
        } catch (const Epsg::Error& e) {
            error = std::string("--compare-epsg: ") + e.what();
            return false;
        }
    } else {
        return true;
    }
    grid.given = true;
    return true;
}

// The datum and unit of the design: those --datum and --unit name, else the
// compared grid's, else those of the grid of the input, else NAD83 in metres.
Ground::DesignChoices Choices(const Options& o, const NamedGrid& input, const NamedGrid& compare) {
    Ground::DesignChoices c;
    if (*o.datumOption) {
        c.datum = DatumNamed(o.cone.datum).value_or(Datum::NAD83);
        c.unit = UnitTagged(o.cone.unit).value_or(GridUnit::Metre);
    } else if (compare.given && compare.fitsWindow) {
        c.datum = compare.datum, c.unit = compare.unit;
    } else if (input.given && input.fitsWindow) {
        c.datum = input.datum, c.unit = input.unit;
    }
    return c;
}

// Each point: where it is, its height, and the figures of both grids.
std::string PointTable(const std::vector<Ground::ProjectPoint>& points, const Ground::Distortion& mine,
                       const Ground::Distortion* other, const std::string& otherLabel) {
    std::string out = "line\tpoint\tlatitude\tlongitude\theight\teasting\tnorthing\tcombined_factor\tppm";
    if (other) out += "\tppm " + otherLabel;
    out += '\n';
    for (std::size_t k = 0; k < points.size(); ++k) {
        const Ground::PointDistortion& d = mine.points[k];
        std::string name = points[k].name;
        std::replace_if(name.begin(), name.end(), [](char c) { return c == '\t' || c == '\n' || c == '\r'; }, ' ');
        out += fmt::format("{}\t{}\t{:.9f}\t{:.9f}\t{:.3f}\t{:.3f}\t{:.3f}\t{:.9f}\t{:.1f}", points[k].line, name,
                           points[k].latitude, points[k].longitude, points[k].height * mine.unitsPerMetre,
                           d.easting, d.northing, d.combinedFactor, d.ppm);
        if (other) out += fmt::format("\t{:.1f}", other->points[k].ppm);
        out += '\n';
    }
    return out;
}

// The design as the window stores it: User Defined, its fields, and the
// middle of the points as the position.
bool WriteSettings(const Ground::Design& design, const std::string& path, std::string& error) {
    Calc::Calculator window('.', [](const std::string&) {});
    TarvaneSettings none;
    none.iZone = -99;
    window.Load(none);
    window.TypeFields(design.fields);
    window.Edit(Calc::Field::Lat, HrHms(design.middleLatitude, AngleKind::Latitude, AngleStyle::Form, 3, '.'));
    window.Edit(Calc::Field::Lon, HrHms(design.middleLongitude, AngleKind::Longitude, AngleStyle::Form, 3, '.'));
    std::string reason;
    if (Write_Tarvane_File(path, window.Settings(), reason)) return true;
    error = "--settings-out: cannot write \"" + path + "\": " + reason;
    return false;
}

// The name of the design in its WKT: the datum and the origin.
std::string CrsName(const Ground::Design& d) {
    const auto minutes = [](double degrees, char plus, char minus) {
        const long m = std::lround(std::fabs(degrees) * 60.0);
        return fmt::format("{} {:02}{}", m / 60, m % 60, degrees < 0 ? minus : plus);
    };
    return fmt::format("{} / low-distortion grid {} {}", DatumName(d.fields.datum),
                       minutes(d.parameters.originLat, 'N', 'S'), minutes(d.parameters.centralMeridian, 'E', 'W'));
}

// The design and its report; 1 after a message when it cannot be made.
int Design(const Options& o, const std::vector<Ground::ProjectPoint>& points, const NamedGrid& compare,
           Ground::DesignChoices choices) {
    std::string error;
    try {
        Ground::Distortion other;
        if (compare.given) other = Ground::Measure(points, compare.parameters);
        choices.other = compare.given ? &other : nullptr;
        const Ground::Design design = Ground::Propose(points, choices);
        const Ground::Distortion mine = Ground::Measure(points, design.parameters);
        const Epsg::CrsText text = Epsg::DefinitionOf(design.parameters, CrsName(design));
        const Ground::Distortion* shown = compare.given ? &other : nullptr;
        const std::string report = Ground::Summary(design, mine, shown, compare.label, compare.name) + "\n" +
                                   PointTable(points, mine, shown, compare.label) + "\nPROJ string:\n" +
                                   text.projString + "\n\nWKT2:\n" + text.wkt2 + "\n";
        if (!BatchConvert::WriteAll(1, report)) {
            Say(std::string("cannot write the output: ") + std::strerror(errno));
            return 1;
        }
        if (!o.settingsOut.empty() && !WriteSettings(design, o.settingsOut, error)) {
            Say(error);
            return 1;
        }
        return 0;
    } catch (const Ground::DesignError& e) {
        error = e.what();
    } catch (const Tarvane_Module::ArithmeticError& e) {
        error = compare.label + " has no value at a point: " + e.what();
    } catch (const Epsg::Error& e) {
        error = e.what();
    }
    Say("--design: " + error);
    return 1;
}

}  // namespace

int Run(Options& o, const NamedGrid& input) {
    NamedGrid compare;
    std::string error;
    if (!ReadCompare(o, compare, error)) {
        Say(error);
        return 2;
    }
    const Ground::DesignChoices choices = Choices(o, input, compare);
    BatchConvert::Format f = o.format;
    f.unitsPerMetre = input.given ? input.parameters.unitsPerMetre : UnitsPerMetre(choices.unit);
    try {
        if (!input.given) ProjectPoints::SetUpToRead(compare.given ? &compare.parameters : nullptr, choices.datum);
    } catch (const std::exception& e) {
        Say(std::string("--design: the grid to read the points with cannot be set up: ") + e.what());
        return 2;
    }
    std::vector<Ground::ProjectPoint> points;
    std::string messages;
    const int status = ProjectPoints::ReadFile(o.design, f, points, messages);
    BatchConvert::WriteAll(2, messages);
    if (status == 2) return 2;
    return std::max(status, Design(o, points, compare, choices));
}

}  // namespace DesignProgram
