#include "cli/ConvertProgram.h"

#include <CLI/CLI.hpp>

#include <cctype>
#include <cerrno>
#include <cstring>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "cli/BatchConvert.h"
#include "cli/BatchProjection.h"
#include "core/crs/Registry.h"
#include "core/text/AngleInput.h"
#include "engine/Tarvane_Module.h"

namespace ConvertProgram {

namespace {

constexpr const char* kUsage =
    "Usage: tarvane-convert PROJECTION [--inverse] [--csv] [--precision N] [--dms]\n"
    "           [--header] [--columns LIST] [--format FORMAT] [--height H] [--geojson] [FILE]\n"
    "PROJECTION is one of:\n"
    "  --zone N --system 1983|1927\n"
    "  --datum WGS84|NAD83|NAD27 --meridian LON\n"
    "      (--parallels LAT1 LAT2 --origin LAT | --parallel LAT --scale K)\n"
    "      [--unit meter|USFeet] [--false-easting X] [--false-northing Y]\n"
    "  --settings FILE\n"
    "  --epsg CODE              (tarvane-convert --list-epsg [WORD] lists the codes)\n";

constexpr const char* kFooter =
    "Angles, in the options and in the input, are read strictly (a bad one is an\n"
    "error, never a default):\n"
    "  signed decimal degrees      29.504306   -95.25\n"
    "  decimal degrees and letter  29.504306N  95.25 W\n"
    "  degrees minutes seconds     29 30 15.5 N   29\u00B030'15.5\"N   29:30:15.5N\n"
    "A sign or a hemisphere letter, not both; whole degrees and minutes when\n"
    "minutes follow; minutes and seconds below 60; latitude at most 90 and\n"
    "longitude at most 180 degrees. The decimal mark is the point. Degrees,\n"
    "minutes and seconds give exactly what the window reads from the same text.\n"
    "\n"
    "Input: one point per line, latitude longitude (easting northing with\n"
    "--inverse). Empty lines and lines that begin with # are copied unchanged.\n"
    "A comma, semicolon or tab separates the two co-ordinates, and blanks inside\n"
    "a field belong to it (29 30 15.5 N, 95 15 W). On a line with blanks only,\n"
    "two words are two co-ordinates (29.5 -95.25); with more words the latitude\n"
    "ends at the first word that is or ends in a hemisphere letter and the rest\n"
    "is the longitude (29 30 15.5 N 95 15 W). Anything else, such as 29 30 95 15,\n"
    "is an error: separate such co-ordinates with a comma or tab, or add the\n"
    "letters.\n"
    "\n"
    "Longitudes are counted from Greenwich, in the options, the input and the\n"
    "output. One more than 180 degrees from the central meridian is taken across\n"
    "the antimeridian (179 E lies 5 degrees west of a central meridian at 176 W),\n"
    "and the inverse gives longitudes from -180 to 180.\n"
    "\n"
    "Output: one line per input line, tab-separated (comma-separated with --csv):\n"
    "  the two input fields, then easting northing (grid unit) or, with --inverse,\n"
    "  latitude longitude (degrees, 9 decimals), then the point scale factor, the\n"
    "  grid convergence (degrees, positive east of the central meridian on a\n"
    "  northern cone), the radii of curvature in the meridian and in the prime\n"
    "  vertical (metres) and, with --inverse, the iteration count.\n"
    "  A line that fails gives the input fields and ERROR, and a message on\n"
    "  standard error with its line number; the run goes on.\n"
    "  On a terminal, standard error shows the count of lines done.\n"
    "\n"
    "Tables: a first line whose fields are all words, one of them a column name\n"
    "below, is a header (standard error says so; --header says it for sure).\n"
    "Columns are found by name, in any case: latitude lat, latitude, phi;\n"
    "longitude lon, long, longitude, lambda; northing n, north, northing, y;\n"
    "easting e, east, easting, x; height h, height, ellipsoid_height, elevation,\n"
    "z. --columns lat=3,lon=4,h=5 overrides (roles lat, lon, n, e, h; columns by\n"
    "number from 1, or by header name).\n"
    "Fields are separated by a tab, a comma or a semicolon, as the first line is,\n"
    "and may be quoted (RFC 4180); every column stays as it came and the results\n"
    "follow as new columns, named in the header. In a table separated by\n"
    "semicolons a number may have a decimal comma, and its row's results then\n"
    "have one too.\n"
    "Point files (--format, comma-separated, no header): pnezd, penzd, pnez, penz,\n"
    "pne, pen (point, northing, easting, elevation, description) with --inverse\n"
    "give point, latitude, longitude[, elevation][, description]; pyxzd (point,\n"
    "latitude, longitude, height, description) gives a pnezd file.\n"
    "\n"
    "Heights: where a point has a height (a column, or --height for every point;\n"
    "a column wins where it has a value) the elevation factor R / (R + h) and the\n"
    "combined factor (scale factor times elevation factor) follow, R = sqrt(M N)\n"
    "the mean radius at the point. h is the height above the ellipsoid, in the\n"
    "grid unit. An elevation above the geoid with the geoid separation added is as\n"
    "good for most work; without it every 30 m of separation moves the factor by\n"
    "about 4.7 parts in a million.\n"
    "\n"
    "Exit status: 0 all lines converted; 1 a line failed, or reading or writing\n"
    "failed; 2 bad options, or a projection that cannot be set up.\n"
    "\n"
    "--epsg CODE takes a projected CRS of the EPSG registry, as PROJ's database\n"
    "proj.db holds it, whose method is Lambert Conic Conformal (1SP) or (2SP) and\n"
    "which is not deprecated: the Lambert State Plane zones of NAD27 and NAD83,\n"
    "and national grids such as Lambert-93 (EPSG:2154). Each is set up on its own\n"
    "ellipsoid, and its grid values are in its own unit (metre, US survey foot,\n"
    "foot, ...). A grid whose registry counts longitudes from another prime\n"
    "meridian (Paris, for NTF (Paris) / Lambert zone II) is set up from\n"
    "Greenwich: the prime meridian's Greenwich longitude is added to the\n"
    "longitude of origin.\n"
    "--list-epsg [WORD] lists these grids, one a line: code, name and grid unit,\n"
    "tab-separated; with WORD only those whose code or name holds it, in any\n"
    "case. Its exit status: 0 when it lists a grid, 1 when none holds WORD, 2 when\n"
    "the registry cannot be read.";

int BadUsage(const std::string& error) {
    BatchConvert::WriteAll(2, "tarvane-convert: " + error + "\n" + kUsage + "Try 'tarvane-convert --help' for more.\n");
    return 2;
}

// --list-epsg, caught once the option is read: it needs no projection.
struct ListRequest {
    std::string word;
};

int List(const std::string& word) {
    try {
        std::string out;
        for (const Epsg::Grid& grid : Epsg::Registry().List()) {
            if (!Epsg::Matches(Epsg::SearchText(grid), word)) continue;
            out += std::to_string(grid.code) + '\t' + grid.name + '\t' + grid.unitName + '\n';
        }
        if (out.empty()) {
            BatchConvert::WriteAll(2, "tarvane-convert: no Lambert conic grid of the EPSG registry holds \"" + word + "\"\n");
            return 1;
        }
        BatchConvert::WriteAll(1, out);
        return 0;
    } catch (const Epsg::Error& e) {
        BatchConvert::WriteAll(2, std::string("tarvane-convert: --list-epsg: ") + e.what() + "\n");
        return 2;
    }
}

}  // namespace

int Main(int argc, char** argv) {
    CLI::App app("tarvane-convert " TARVANE_VERSION
                 ": converts points between geographic and Lambert conformal\n"
                 "conic grid co-ordinates, with the same engine and the same numbers as the\n"
                 "TARVANE window.",
                 "tarvane-convert");
    app.set_version_flag("--version", "tarvane-convert " TARVANE_VERSION);
    app.footer(kFooter);

    std::vector<std::int16_t> zones;
    for (const auto& zone : Tarvane_Module::StatePlaneZones()) zones.push_back(zone.number);
    std::int16_t zone = 0;
    std::string system, settingsPath, input, epsg;
    BatchProjection::ConeOptions cone;
    std::vector<std::string> parallels;
    BatchConvert::Format format;

    CLI::App* projection = app.add_option_group("Projection", "exactly one of the four below");
    CLI::App* state = projection->add_option_group("State Plane zone");
    CLI::Option* zoneOption = state->add_option("--zone", zone, "State Plane zone number")
                                  ->check(CLI::IsMember(zones));
    CLI::Option* systemOption = state->add_option("--system", system,
                                                  "1983 (NAD83, m) or 1927 (NAD27, US survey ft)")
                                    ->check(CLI::IsMember({"1983", "1927"}));
    zoneOption->needs(systemOption);
    systemOption->needs(zoneOption);

    CLI::App* user = projection->add_option_group("User-defined cone");
    CLI::Option* datum = user->add_option("--datum", cone.datum, "WGS84, NAD83 or NAD27")
                             ->check(CLI::IsMember({"WGS84", "NAD83", "NAD27"}));
    CLI::Option* meridian = user->add_option("--meridian", cone.meridian, "central meridian");
    CLI::Option* two = user->add_option("--parallels", parallels, "two standard parallels, with --origin")
                           ->expected(2)
                           ->allow_extra_args(false)
                           ->delimiter(',');
    CLI::Option* origin = user->add_option("--origin", cone.origin, "latitude of origin (the false northing's)");
    CLI::Option* one = user->add_option("--parallel", cone.parallel, "one standard parallel, with --scale");
    CLI::Option* scale = user->add_option("--scale", cone.scale, "scale factor on that parallel");
    CLI::Option* unit = user->add_option("--unit", cone.unit, "grid unit: meter (default) or USFeet")
                            ->check(CLI::IsMember({"meter", "USFeet"}));
    CLI::Option* falseEasting = user->add_option("--false-easting", cone.falseEasting, "in the grid unit (default 0)");
    CLI::Option* falseNorthing =
        user->add_option("--false-northing", cone.falseNorthing, "in the grid unit (default 0)");
    for (CLI::Option* option : {meridian, two, origin, one, scale, unit, falseEasting, falseNorthing})
        option->needs(datum);
    datum->needs(meridian);
    two->needs(origin)->excludes(one)->excludes(scale);
    origin->needs(two);
    one->needs(scale);
    scale->needs(one);

    CLI::Option* settingsOption = projection->add_option_group("Stored")->add_option(
        "--settings", settingsPath, "the projection of a TARVANE.ini file");
    CLI::Option* epsgOption = projection->add_option_group("EPSG registry")
                                  ->add_option("--epsg", epsg, "a Lambert conic grid of the EPSG registry");
    app.add_option_function<std::vector<std::string>>(
           "--list-epsg", [](const std::vector<std::string>& word) { throw ListRequest{word.empty() ? "" : word[0]}; },
           "lists --epsg's grids (WORD: in the code or name)")
        ->expected(0, 1)
        ->type_name("[WORD]")
        ->trigger_on_parse();

    CLI::Option* inverse = app.add_flag("--inverse", format.inverse,
                                        "input easting northing, output latitude longitude");
    app.add_flag("--csv", format.csv, "comma-separated output with a header line");
    app.add_option("--precision", format.precision, "decimals of easting and northing (default 3)")
        ->check(CLI::Range(0, 12))
        ->excludes(inverse);
    app.add_flag("--dms", format.dms, "angles as the window's text")
        ->needs(inverse);
    CLI::Option* csv = app.get_option("--csv");
    std::string height;
    CLI::Option* header = app.add_flag("--header", format.header, "the first line names the columns (found by name)");
    CLI::Option* columns = app.add_option("--columns", format.columns,
                                          "which column holds what: lat=3,lon=4,h=5");
    app.add_option("--format", format.pointFormat,
                   "a point file (see Point files below)")
        ->type_name("FORMAT")
        ->check(CLI::IsMember({"pnezd", "penzd", "pnez", "penz", "pne", "pen", "pyxzd"}, CLI::ignore_case)
                    .description(""))
        ->excludes(header)
        ->excludes(columns)
        ->excludes(csv);
    app.add_option("--height", height,
                   "ellipsoid height of every point (see Heights)");
    app.add_flag("--geojson", format.geojson,
                 "GeoJSON points with every column and result")
        ->excludes(csv);
    app.add_option("FILE", input, "input file; standard input when absent or -");

    try {
        app.parse(argc, argv);
    } catch (const CLI::CallForHelp&) {
        BatchConvert::WriteAll(1, app.help());
        return 0;
    } catch (const CLI::CallForVersion& e) {
        BatchConvert::WriteAll(1, std::string(e.what()) + "\n");
        return 0;
    } catch (const CLI::ParseError& e) {
        return BadUsage(e.what());
    } catch (const ListRequest& request) {
        return List(request.word);
    }

    // Checked here rather than by the option groups, whose own message names
    // the groups' inner structure rather than the options.
    const int projections = (*zoneOption ? 1 : 0) + (*datum ? 1 : 0) + (*settingsOption ? 1 : 0) + (*epsgOption ? 1 : 0);
    if (projections != 1) {
        return BadUsage(std::string(projections ? "more than one projection given" : "no projection given") +
                        ": give exactly one of --zone (with --system), --datum (with its cone), --settings and --epsg");
    }

    ProjectionSetup::ProjectionParameters parameters;
    std::string error;
    bool read = false;
    if (*zoneOption) {
        read = BatchProjection::ZoneParameters(system == "1927", zone, parameters, error);
    } else if (*epsgOption) {
        read = BatchProjection::EpsgParameters(epsg, parameters, error);
    } else if (*settingsOption) {
        TarvaneSettings settings;
        read = Read_Tarvane_File(settingsPath, settings) &&
               BatchProjection::SettingsParameters(settings, parameters, error);
        if (error.empty() && !read) {
            error = "--settings: cannot read " + BatchInput::Quote(settingsPath) +
                    " as a settings file (thirteen lines as the window writes them)";
        }
    } else {
        if (parallels.size() == 2) cone.parallel1 = parallels[0], cone.parallel2 = parallels[1];
        if (!*two && !*one) error = "--parallels and --origin, or --parallel and --scale, are missing";
        read = error.empty() && BatchProjection::ConeParameters(cone, parameters, error);
    }
    if (!read || !BatchProjection::Setup(parameters, error)) return BadUsage(error);
    for (char& c : format.pointFormat) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    if (!format.pointFormat.empty() && (format.pointFormat == "pyxzd") == format.inverse) {
        return BadUsage(format.inverse ? "--format pyxzd holds latitudes and longitudes: convert it without --inverse"
                                       : "--format " + format.pointFormat + " holds grid co-ordinates: convert it with --inverse");
    }
    if (!height.empty() && !BatchInput::ReadNumber(height, format.heightValue)) {
        return BadUsage("--height: " + BatchInput::Quote(height) + " is not a number");
    }
    format.height = !height.empty();
    format.unitsPerMetre = parameters.unitsPerMetre;

    int in = 0;
    if (!input.empty() && input != "-") {
        in = ::open(input.c_str(), O_RDONLY | O_CLOEXEC);
        struct stat st {};
        if (in < 0 || ::fstat(in, &st) != 0 || S_ISDIR(st.st_mode)) {
            const int e = in < 0 ? errno : EISDIR;
            if (in >= 0) ::close(in);
            return BadUsage("cannot open " + BatchInput::Quote(input) + ": " + std::strerror(e));
        }
    }
    const int status = BatchConvert::Run(in, 1, 2, format, ::isatty(2) == 1);
    if (in != 0) ::close(in);
    return status;
}

}  // namespace ConvertProgram
