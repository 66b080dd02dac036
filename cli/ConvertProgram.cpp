#include "cli/ConvertProgram.h"

#include <cctype>
#include <cerrno>
#include <charconv>
#include <cstring>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <fmt/format.h>

#include "cli/BatchConvert.h"
#include "cli/BatchProjection.h"
#include "cli/DesignProgram.h"
#include "cli/Options.h"
#include "core/crs/Geoid.h"
#include "core/crs/Registry.h"
#include "core/crs/WindowFields.h"
#include "core/ground/Surface.h"
#include "core/text/AngleInput.h"
#include "engine/Tarvane_Module.h"

namespace ConvertProgram {

namespace {

using ConvertOptions::Options;

void Say(const std::string& text) { BatchConvert::WriteAll(2, "tarvane-convert: " + text + "\n"); }

int BadUsage(const std::string& error) {
    BatchConvert::WriteAll(2, "tarvane-convert: " + error + "\nUsage: " + ConvertOptions::HelpSection("Usage") +
                                  "Try 'tarvane-convert --help' for more.\n");
    return 2;
}

std::string HelpText(const CLI::App& app) {
    std::string text = app.help();
    for (const ConvertOptions::Section& section : ConvertOptions::Sections())
        text += std::string("\n") + section.title + ":\n" + section.text + "\n";
    return text;
}

int List(const std::string& word) {
    std::string out;
    try {
        for (const Epsg::Grid& grid : Epsg::Registry().List()) {
            if (!Epsg::Matches(Epsg::SearchText(grid), word)) continue;
            out += std::to_string(grid.code) + '\t' + grid.name + '\t' + grid.unitName + '\n';
        }
    } catch (const Epsg::Error& e) {
        Say(std::string("--list-epsg: ") + e.what());
        return 2;
    }
    if (out.empty()) {
        Say("no Lambert conic grid of the EPSG registry holds \"" + word + "\"");
        return 1;
    }
    if (!BatchConvert::WriteAll(1, out)) {
        Say(std::string("cannot write the list: ") + std::strerror(errno));
        return 1;
    }
    return 0;
}

// The options that shape the output, checked together: false with the
// reason for a pair that cannot be, or a value that is not one.
bool CheckFormat(Options& o, std::string& error) {
    BatchConvert::Format& f = o.format;
    for (char& c : f.pointFormat) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    if (!f.pointFormat.empty() && (f.pointFormat == "pyxzd") == f.inverse) {
        error = f.inverse ? "--format pyxzd holds latitudes and longitudes: convert it without --inverse"
                          : "--format " + f.pointFormat + " holds grid co-ordinates: convert it with --inverse";
        return false;
    }
    if (f.dms && f.geojson) {
        error = "--dms and --geojson: GeoJSON positions are decimal degrees; leave out --dms";
        return false;
    }
    if (*o.precisionOption) {
        const int most = f.dms ? 4 : 12;
        const char* end = o.precision.data() + o.precision.size();
        const auto r = std::from_chars(o.precision.data(), end, f.precision);
        if (f.inverse && !f.dms) {
            error = "--precision: --inverse writes degrees with 9 decimals (with --dms, --precision sets the "
                    "decimals of the second)";
            return false;
        }
        if (r.ec != std::errc() || r.ptr != end || f.precision < 0) {
            error = "--precision: " + BatchInput::Quote(o.precision) + " is not a whole number from 0 to " +
                    std::to_string(most);
            return false;
        }
        if (f.precision > most) {
            error = "--precision: " + o.precision + " decimals " + (f.dms ? "of the second " : "") +
                    "are more than " + std::to_string(most);
            return false;
        }
    }
    if (!o.height.empty() && !BatchInput::ReadNumber(o.height, f.heightValue)) {
        error = "--height: " + BatchInput::Quote(o.height) + " is not a number";
        return false;
    }
    f.height = !o.height.empty();
    return true;
}

// The area of a State Plane zone, from its grid in the registry; the run
// goes on without it when the registry cannot be read.
void ZoneArea(int code, BatchConvert::Format& f) {
    if (code == 0) return;
    try {
        BatchProjection::DescribeZoneGrid(Epsg::Registry().Read(std::to_string(code)), f);
    } catch (const Epsg::Error& e) {
        Say(std::string("the area of the zone's grid cannot be read, so points are not checked against it: ") +
            e.what());
    }
}

// The parameters of the projection the options name, and what the run
// needs to know of it.
bool ReadProjection(Options& o, DesignProgram::NamedGrid& grid, std::string& error) {
    BatchConvert::Format& f = o.format;
    ProjectionSetup::ProjectionParameters& parameters = grid.parameters;
    bool read = false;
    if (*o.zoneOption) {
        const bool is1927 = o.system == "1927";
        read = BatchProjection::ZoneParameters(is1927, o.zone, parameters, error);
        BatchProjection::DescribeDatum(is1927 ? Datum::NAD27 : Datum::NAD83, f);
        if (read) ZoneArea(BatchProjection::ZoneGridCode(is1927, o.zone), f);
    } else if (*o.epsgOption) {
        try {
            const Epsg::Grid epsg = Epsg::Registry().Read(o.epsg);
            parameters = epsg.parameters;
            BatchProjection::DescribeGrid(epsg, f);
            ProjectionSetup::ParameterFields fields;
            std::string reason;
            grid.fitsWindow = Epsg::WindowFields(epsg, '.', fields, reason);
            grid.datum = fields.datum, grid.unit = fields.unit;
            return true;
        } catch (const Epsg::Error& e) {
            error = std::string("--epsg: ") + e.what();
        }
    } else if (*o.settingsOption) {
        TarvaneSettings settings;
        read = Read_Tarvane_File(o.settings, settings) &&
               BatchProjection::SettingsParameters(settings, parameters, error);
        if (error.empty() && !read) {
            error = "--settings: cannot read " + BatchInput::Quote(o.settings) +
                    " as a settings file (thirteen lines as the window writes them)";
        }
        BatchProjection::DescribeDatum(parameters.datum, f);
        if (read) ZoneArea(BatchProjection::StoredZoneGridCode(settings), f);
    } else {
        if (o.parallels.size() == 2) o.cone.parallel1 = o.parallels[0], o.cone.parallel2 = o.parallels[1];
        if (!*o.parallelsOption && !*o.parallelOption)
            error = "--parallels and --origin, or --parallel and --scale, are missing";
        read = error.empty() && BatchProjection::ConeParameters(o.cone, parameters, error);
        BatchProjection::DescribeDatum(parameters.datum, f);
    }
    grid.fitsWindow = read;
    grid.datum = parameters.datum;
    grid.unit = parameters.unitsPerMetre == 1.0 ? GridUnit::Metre : GridUnit::USFeet;
    return read;
}

// The projection the options name, set up in the engine. A design reads
// latitudes and longitudes without one.
bool SetUp(Options& o, DesignProgram::NamedGrid& grid, std::string& error) {
    const bool cone = *o.datumOption && *o.meridianOption;
    const int projections = (*o.zoneOption ? 1 : 0) + (cone ? 1 : 0) + (*o.settingsOption ? 1 : 0) +
                            (*o.epsgOption ? 1 : 0);
    if (projections == 0 && *o.designOption) {
        if (o.format.inverse) error = "--design --inverse: the points' grid co-ordinates need their projection";
        return error.empty();
    }
    if (projections != 1) {
        // Checked here rather than by the option groups, whose own message
        // names the groups' inner structure rather than the options.
        error = std::string(projections ? "more than one projection given" : "no projection given") +
                ": give exactly one of --zone (with --system), --datum (with its cone), --settings and --epsg";
        return false;
    }
    if (!ReadProjection(o, grid, error)) return false;
    grid.given = true;
    o.format.unitsPerMetre = grid.parameters.unitsPerMetre;
    return BatchProjection::Setup(grid.parameters, error);
}

// The options of ground and grid that go together, or do not: false with
// the reason.
bool CheckGround(const Options& o, std::string& error) {
    const BatchConvert::Format& f = o.format;
    const bool design = bool(*o.designOption), surface = *o.surfaceFactorOption || *o.surfaceAtOption;
    if (*o.systemOption && !*o.zoneOption && !*o.compareOption) {
        error = "--system goes with --zone or --compare";
    } else if (*o.datumOption && !*o.meridianOption && (!design || *o.parallelsOption || *o.parallelOption)) {
        error = "--datum requires --meridian";
    } else if (*o.surfaceOriginOption && !surface) {
        error = "--surface-origin needs --surface-factor or --surface-at";
    } else if (design && (f.csv || f.geojson || f.dms || surface || *o.precisionOption)) {
        error = "--design writes a report of its own: leave out --csv, --geojson, --dms, --precision and the "
                "surface options";
    } else if (design && !o.input.empty()) {
        error = "--design reads the points of its own FILE: leave out the input file " + BatchInput::Quote(o.input);
    } else if (!o.geoid.empty() && !design && !f.pointFormat.empty() && !f.geojson) {
        error = "--geoid: a point file written as a point file has no column for the geoid height or the factors; "
                "add --geojson, or leave out --geoid";
    }
    return error.empty();
}

// The geoid model --geoid names, opened once to be sure it can be.
bool SetUpGeoid(Options& o, std::string& error) {
    if (o.geoid.empty()) return true;
    try {
        const Geoid::Model model = Geoid::Open(o.geoid);
        o.format.geoid = model.open;
        o.format.geoidName = model.name;
        return true;
    } catch (const Geoid::Error& e) {
        error = std::string("--geoid: ") + e.what();
        return false;
    }
}

// The surface factor at --surface-at, on the grid set up, stated with its
// digits.
bool FactorAt(const Options& o, double& factor, std::string& error) {
    double lat = 0, lon = 0, height = 0, combined = 0;
    if (!BatchInput::ReadAngle(o.surfaceAt[0], AngleKind::Latitude, lat, error) ||
        !BatchInput::ReadAngle(o.surfaceAt[1], AngleKind::Longitude, lon, error)) {
        error = "--surface-at: " + error;
        return false;
    }
    if (!BatchInput::ReadNumber(o.surfaceAt[2], height)) {
        error = "--surface-at: height " + BatchInput::Quote(o.surfaceAt[2]) + " is not a number";
        return false;
    }
    try {
        if (!Ground::SurfaceFactorAt(lat, lon, height, o.format.unitsPerMetre, factor, combined)) {
            error = "--surface-at: height " + o.surfaceAt[2] + ": at or below the centre of the earth";
            return false;
        }
    } catch (const Tarvane_Module::ArithmeticError& e) {
        error = std::string("--surface-at: the grid has no value there: ") + e.what();
        return false;
    }
    Say(fmt::format("surface factor {:.{}f}: 1 / {:.9f}, the combined factor at {}, {}, height {}", factor,
                    Ground::kSurfaceDecimals, combined, o.surfaceAt[0], o.surfaceAt[1], o.surfaceAt[2]));
    return true;
}

// Surface co-ordinates: the factor and the origin the options give.
bool SetUpSurface(Options& o, std::string& error) {
    if (!*o.surfaceFactorOption && !*o.surfaceAtOption) return true;
    Ground::Surface s;
    if (*o.surfaceOriginOption && (!BatchInput::ReadNumber(o.surfaceOrigin[0], s.originEasting) ||
                                   !BatchInput::ReadNumber(o.surfaceOrigin[1], s.originNorthing))) {
        error = "--surface-origin: " + BatchInput::Quote(o.surfaceOrigin[0] + "," + o.surfaceOrigin[1]) +
                " is not an easting and a northing";
        return false;
    }
    const char* option = *o.surfaceFactorOption ? "--surface-factor: " : "--surface-at: the surface factor ";
    if (*o.surfaceFactorOption && !BatchInput::ReadNumber(o.surfaceFactor, s.factor)) {
        error = "--surface-factor: " + BatchInput::Quote(o.surfaceFactor) + " is not a number";
        return false;
    }
    if (*o.surfaceAtOption && !FactorAt(o, s.factor, error)) return false;
    const std::string fault = Ground::SurfaceFactorFault(s.factor);
    if (!fault.empty()) {
        error = option + fmt::format("{}", s.factor) + " " + fault;
        return false;
    }
    o.format.surface = s;
    return true;
}

// The input file, or standard input; -1 after a message when it cannot be opened.
int OpenInput(const std::string& path) {
    if (path.empty() || path == "-") return 0;
    const int in = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    struct stat st {};
    if (in < 0 || ::fstat(in, &st) != 0 || S_ISDIR(st.st_mode)) {
        const int e = in < 0 ? errno : EISDIR;
        if (in >= 0) ::close(in);
        Say("cannot open " + BatchInput::Quote(path) + ": " + std::strerror(e));
        return -1;
    }
    return in;
}

}  // namespace

int Main(int argc, char** argv) {
    CLI::App app("", "tarvane-convert");
    Options o;
    ConvertOptions::Describe(app, o);
    try {
        app.parse(argc, argv);
    } catch (const CLI::CallForHelp&) {
        return BatchConvert::WriteAll(1, HelpText(app)) ? 0 : 1;
    } catch (const CLI::CallForVersion& e) {
        return BatchConvert::WriteAll(1, std::string(e.what()) + "\n") ? 0 : 1;
    } catch (const CLI::ParseError& e) {
        return BadUsage(e.what());
    }
    if (*o.listOption) return List(o.listWord);

    std::string error;
    DesignProgram::NamedGrid grid;
    if (!CheckFormat(o, error) || !CheckGround(o, error) || !SetUp(o, grid, error) || !SetUpGeoid(o, error))
        return BadUsage(error);
    if (*o.designOption) return DesignProgram::Run(o, grid);
    if (!SetUpSurface(o, error)) return BadUsage(error);
    const int in = OpenInput(o.input);
    if (in < 0) return 2;
    const int status = BatchConvert::Run(in, 1, 2, o.format, ::isatty(2) == 1);
    if (in != 0) ::close(in);
    return status;
}

}  // namespace ConvertProgram
