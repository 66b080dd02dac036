#include "cli/Options.h"

#include "engine/Tarvane_Module.h"

namespace ConvertOptions {

const char* const kSummary =
    "converts points between geographic and Lambert conformal\n"
    "conic grid co-ordinates, with the same engine and the same numbers as the\n"
    "TARVANE window.";

const char* const kUsage =
    "tarvane-convert PROJECTION [--inverse] [--csv] [--precision N] [--dms]\n"
    "    [--header] [--columns LIST] [--format FORMAT] [--height H] [--geojson] [FILE]\n"
    "tarvane-convert --list-epsg [WORD]\n"
    "PROJECTION is one of:\n"
    "  --zone N --system 1983|1927\n"
    "  --datum WGS84|NAD83|NAD27 --meridian LON\n"
    "      (--parallels LAT1 LAT2 --origin LAT | --parallel LAT --scale K)\n"
    "      [--unit meter|USFeet] [--false-easting X] [--false-northing Y]\n"
    "  --settings FILE\n"
    "  --epsg CODE\n";

namespace {

const Section kSections[] = {
    {"Angles",
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
     "Longitudes are counted from Greenwich, in the options, the input and the\n"
     "output. One more than 180 degrees from the central meridian is taken across\n"
     "the antimeridian (179 E lies 5 degrees west of a central meridian at 176 W),\n"
     "and the inverse gives longitudes from -180 to 180."},
    {"Input",
     "One point per line, latitude longitude (easting northing with --inverse).\n"
     "Empty lines and lines that begin with # are copied unchanged, in every kind\n"
     "of input. Lines end in LF, CR LF or CR alone; the input is UTF-8 or ASCII\n"
     "(UTF-16 is refused with a message). A comma, semicolon or tab separates the\n"
     "two co-ordinates, and blanks inside a field belong to it (29 30 15.5 N,\n"
     "95 15 W). On a line with blanks only, two words are two co-ordinates\n"
     "(29.5 -95.25); with more words the latitude ends at the first word that is\n"
     "or ends in a hemisphere letter and the rest is the longitude\n"
     "(29 30 15.5 N 95 15 W). Anything else, such as 29 30 95 15, is an error:\n"
     "separate such co-ordinates with a comma or tab, or add the letters."},
    {"Output",
     "One line per input line, tab-separated (comma-separated with --csv): the\n"
     "two input fields, then easting northing (grid unit, --precision decimals,\n"
     "default 3) or, with --inverse, latitude longitude (degrees, 9 decimals;\n"
     "with --dms the window's angle text, --precision decimals of the second,\n"
     "default 3), then the point scale factor, the grid convergence (degrees,\n"
     "positive east of the central meridian on a northern cone), the radii of\n"
     "curvature in the meridian and in the prime vertical (metres) and, with\n"
     "--inverse, the iteration count.\n"
     "\n"
     "A line that fails gives its input fields and ERROR, and a message on\n"
     "standard error with its line number; the run goes on. Every input line\n"
     "gives exactly one output line. A point that lies outside the area where\n"
     "its grid is meant to be used (the EPSG registry's area of the grid, also\n"
     "for the State Plane zones) still converts; one line on standard error at\n"
     "the end counts such points and names their first lines. On a terminal,\n"
     "standard error shows the count of lines done."},
    {"Tables",
     "A line whose fields are all words, one of them a column name below, is a\n"
     "header (standard error says so; --header says it for sure); comment lines\n"
     "and empty lines may come before it, and empty fields may end it. Columns\n"
     "are found by name, in any case: latitude lat, latitude, phi; longitude lon,\n"
     "long, longitude, lambda; northing n, north, northing, y; easting e, east,\n"
     "easting, x; height above the ellipsoid h, height, ellipsoid_height,\n"
     "ellipsoidal height, h_ell, hae, ellh; elevation above the geoid H (a\n"
     "capital), elevation, elev, ortho_height, z. Two columns that both name what\n"
     "the conversion reads are an error. --columns lat=3,lon=4,h=5 chooses (roles\n"
     "lat, lon, n, e, h, elev; columns by number from 1, or by header name, which\n"
     "says that the first line is a header).\n"
     "\n"
     "Fields are separated by a tab, a comma or a semicolon, as the header is.\n"
     "A field may be quoted (RFC 4180): a quote that begins a field (blanks\n"
     "before it aside) opens it, and the quote followed by the separator or the\n"
     "line end closes it; \"\" inside is one quote. A quote anywhere else is\n"
     "part of the text (5/8\" REBAR), and so is an opening quote that nothing\n"
     "closes on its line (standard error says so). A quoted field may hold line\n"
     "breaks where its record then closes with as many fields as the header.\n"
     "Every column stays as it came and the results follow as new columns, named\n"
     "in the header row; a result whose name a column has already is named\n"
     "computed_NAME. In a table separated by semicolons a number may have a\n"
     "decimal comma, and its row's results then have one too. A record of more\n"
     "than 16 MiB is an error in its place."},
    {"Point files",
     "Point files (--format, comma-separated, no header): pnezd, penzd, pnez, penz,\n"
     "pne, pen (point, northing, easting, elevation, description) with --inverse\n"
     "give point, latitude, longitude[, elevation][, description]; pyxzd (point,\n"
     "latitude, longitude, elevation, description) gives a pnezd file."},
    {"Heights",
     "Where a point has a height (a column, or --height for every point; a\n"
     "column wins where it has a value) the elevation factor R / (R + h) and the\n"
     "combined factor (scale factor times elevation factor) follow, R = sqrt(M N)\n"
     "the mean radius at the point. h is the height above the ellipsoid, in the\n"
     "grid unit: a column of heights above the ellipsoid is taken before one of\n"
     "elevations, and standard error says which column the heights come from. An\n"
     "elevation above the geoid with the geoid separation added is as good for\n"
     "most work; without it every 30 m of separation moves the factor by about\n"
     "4.7 parts in a million."},
    {"GeoJSON",
     "--geojson writes a FeatureCollection of points, longitude and latitude in\n"
     "decimal degrees whatever the direction, with every column as a text and\n"
     "every result as a number; a line that fails is a feature without a\n"
     "geometry, with its error and the fields that could be read. GeoJSON readers\n"
     "take positions as WGS 84: the collection names the datum of its positions\n"
     "(\"datum\"), and standard error says so where that datum lies far from\n"
     "WGS 84 (NAD27: tens of metres)."},
    {"Accuracy",
     "The forward conversion agrees with PROJ's within 0.2 mm on the State Plane\n"
     "zones. The inverse keeps the program's own constants, which place its\n"
     "latitudes about 0.5 mm south of PROJ's. So a round trip from grid to\n"
     "geographic (9 decimals) and back at three decimals moves about half the\n"
     "northings 0.001 m south, and in US survey feet every northing 0.001 or\n"
     "0.002 ft; at two decimals or fewer it changes nothing."},
    {"Exit status",
     "0 every line converted; 1 a line failed, or reading or writing failed;\n"
     "2 bad options, a projection that cannot be set up, or an input that cannot\n"
     "be read as its options say (no columns to read, UTF-16 text)."},
    {"EPSG grids",
     "--epsg CODE takes a projected CRS of the EPSG registry, as PROJ's database\n"
     "proj.db holds it, whose method is Lambert Conic Conformal (1SP) or (2SP) and\n"
     "which is not deprecated: the Lambert State Plane zones of NAD27 and NAD83,\n"
     "and national grids such as Lambert-93 (EPSG:2154). Each is set up on its own\n"
     "ellipsoid, and its grid values are in its own unit (metre, US survey foot,\n"
     "foot, ...). A grid whose registry counts longitudes from another prime\n"
     "meridian (Paris, for NTF (Paris) / Lambert zone II) is set up from\n"
     "Greenwich: the prime meridian's Greenwich longitude is added to the\n"
     "longitude of origin.\n"
     "\n"
     "--list-epsg [WORD] lists these grids, one a line: code, name and grid unit,\n"
     "tab-separated; with WORD only those whose code or name holds it, in any\n"
     "case. Its exit status: 0 when it lists a grid, 1 when none holds WORD or\n"
     "the list cannot be written, 2 when the registry cannot be read."},
};

}  // namespace

std::span<const Section> Sections() { return kSections; }

void Describe(CLI::App& app, Options& o) {
    app.set_version_flag("--version", "tarvane-convert " TARVANE_VERSION);
    std::vector<std::int16_t> zones;
    for (const auto& zone : Tarvane_Module::StatePlaneZones()) zones.push_back(zone.number);

    CLI::App* projection = app.add_option_group("Projection", "exactly one of the four below");
    CLI::App* state = projection->add_option_group("State Plane zone");
    o.zoneOption = state->add_option("--zone", o.zone, "State Plane zone number")->type_name("N")->check(CLI::IsMember(zones));
    CLI::Option* system = state->add_option("--system", o.system, "1983 (NAD83, m) or 1927 (NAD27, US survey ft)")
                              ->type_name("YEAR")
                              ->check(CLI::IsMember({"1983", "1927"}));
    o.zoneOption->needs(system);
    system->needs(o.zoneOption);

    BatchProjection::ConeOptions& cone = o.cone;
    CLI::App* user = projection->add_option_group("User-defined cone");
    o.datumOption = user->add_option("--datum", cone.datum, "WGS84, NAD83 or NAD27")
                        ->type_name("DATUM")
                        ->check(CLI::IsMember(std::vector<std::string>(kDatumNames.begin(), kDatumNames.end())));
    CLI::Option* meridian = user->add_option("--meridian", cone.meridian, "central meridian")->type_name("LON");
    o.parallelsOption = user->add_option("--parallels", o.parallels, "two standard parallels, with --origin")
                            ->type_name("LAT")
                            ->expected(2)
                            ->allow_extra_args(false)
                            ->delimiter(',');
    CLI::Option* origin = user->add_option("--origin", cone.origin, "latitude of origin (the false northing's)")
                              ->type_name("LAT");
    o.parallelOption = user->add_option("--parallel", cone.parallel, "one standard parallel, with --scale")->type_name("LAT");
    CLI::Option* scale = user->add_option("--scale", cone.scale, "scale factor on that parallel")->type_name("K");
    CLI::Option* unit = user->add_option("--unit", cone.unit, "grid unit: meter (default) or USFeet")
                            ->type_name("UNIT")
                            ->check(CLI::IsMember(std::vector<std::string>(kUnitTags.begin(), kUnitTags.end())));
    CLI::Option* falseEasting = user->add_option("--false-easting", cone.falseEasting, "in the grid unit (default 0)")
                                     ->type_name("X");
    CLI::Option* falseNorthing =
        user->add_option("--false-northing", cone.falseNorthing, "in the grid unit (default 0)")->type_name("Y");
    for (CLI::Option* option : {meridian, o.parallelsOption, origin, o.parallelOption, scale, unit, falseEasting,
                                falseNorthing})
        option->needs(o.datumOption);
    o.datumOption->needs(meridian);
    o.parallelsOption->needs(origin)->excludes(o.parallelOption)->excludes(scale);
    origin->needs(o.parallelsOption);
    o.parallelOption->needs(scale);
    scale->needs(o.parallelOption);

    o.settingsOption = projection->add_option_group("Stored")->add_option(
        "--settings", o.settings, "the projection of a TARVANE.ini file")->type_name("FILE");
    o.epsgOption = projection->add_option_group("EPSG registry")
                       ->add_option("--epsg", o.epsg, "a Lambert conic grid of the EPSG registry")->type_name("CODE");
    o.listOption = app.add_option("--list-epsg", o.listWord, "lists --epsg's grids (WORD: in the code or name)")
                       ->expected(0, 1)
                       ->type_name("[WORD]");

    BatchConvert::Format& f = o.format;
    CLI::Option* inverse = app.add_flag("--inverse", f.inverse, "input easting northing, output latitude longitude");
    CLI::Option* csv = app.add_flag("--csv", f.csv, "comma-separated output with a header line");
    o.precisionOption = app.add_option("--precision", o.precision,
                                       "decimals of grid values, or with --dms of seconds")
                            ->type_name("N");
    app.add_flag("--dms", f.dms, "angles as the window's text")->needs(inverse);
    CLI::Option* header = app.add_flag("--header", f.header, "a line names the columns (found by name)");
    CLI::Option* columns = app.add_option("--columns", f.columns, "which column holds what: lat=3,lon=4,h=5")
                               ->type_name("LIST");
    app.add_option("--format", f.pointFormat, "a point file (see Point files below)")
        ->type_name("FORMAT")
        ->check(CLI::IsMember({"pnezd", "penzd", "pnez", "penz", "pne", "pen", "pyxzd"}, CLI::ignore_case)
                    .description(""))
        ->excludes(header)
        ->excludes(columns)
        ->excludes(csv);
    app.add_option("--height", o.height, "ellipsoid height of every point (see Heights)")->type_name("H");
    app.add_flag("--geojson", f.geojson, "GeoJSON points with every column and result")->excludes(csv);
    app.add_option("FILE", o.input, "input file; standard input when absent or -")->type_name("");
}

}  // namespace ConvertOptions
