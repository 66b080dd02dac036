#include "cli/Options.h"

#include "engine/Tarvane_Module.h"

namespace ConvertOptions {

// The text of cli/help.txt, embedded by the build.
extern const char* const kHelpText;

namespace {

// The sections of the help text, each headed by "## Title".
std::vector<Section> ReadSections() {
    std::vector<Section> sections;
    std::string_view text = kHelpText;
    while (!text.empty()) {
        const std::size_t end = text.find('\n');
        const std::string_view line = text.substr(0, end);
        text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
        if (line.starts_with("## ")) sections.push_back({std::string(line.substr(3)), {}});
        else if (!sections.empty()) sections.back().text.append(line).append("\n");
    }
    for (Section& s : sections)
        while (s.text.ends_with("\n\n")) s.text.pop_back();
    return sections;
}

const std::vector<Section>& AllSections() {
    static const std::vector<Section> sections = ReadSections();
    return sections;
}

}  // namespace

const std::string& HelpSection(std::string_view title) {
    for (const Section& s : AllSections())
        if (s.title == title) return s.text;
    static const std::string none;
    return none;
}

std::span<const Section> Sections() { return std::span(AllSections()).subspan(2); }  // after Summary and Usage

namespace {

// The options that name the projection, in their groups.
void DescribeProjection(CLI::App& app, Options& o) {
    std::vector<std::int16_t> zones;
    for (const auto& zone : Tarvane_Module::StatePlaneZones()) zones.push_back(zone.number);

    CLI::App* projection = app.add_option_group("Projection", "exactly one of the four below");
    CLI::App* state = projection->add_option_group("State Plane zone");
    o.zoneOption = state->add_option("--zone", o.zone, "State Plane zone number")->type_name("N")->check(CLI::IsMember(zones));
    o.systemOption = state->add_option("--system", o.system, "1983 (NAD83, m) or 1927 (NAD27, US survey ft)")
                         ->type_name("YEAR")
                         ->check(CLI::IsMember({"1983", "1927"}));
    o.zoneOption->needs(o.systemOption);  // and --system goes with --zone or --compare

    BatchProjection::ConeOptions& cone = o.cone;
    CLI::App* user = projection->add_option_group("User-defined cone");
    o.datumOption = user->add_option("--datum", cone.datum, "WGS84, NAD83 or NAD27")
                        ->type_name("DATUM")
                        ->check(CLI::IsMember(std::vector<std::string>(kDatumNames.begin(), kDatumNames.end())));
    CLI::Option* meridian = o.meridianOption =
        user->add_option("--meridian", cone.meridian, "central meridian")->type_name("LON");
    o.parallelsOption = user->add_option("--parallels", o.parallels, "two standard parallels, with --origin")
                            ->type_name("LAT")
                            ->expected(2)
                            ->allow_extra_args(false)
                            ->delimiter(',');
    CLI::Option* origin = user->add_option("--origin", cone.origin, "latitude of origin (the false northing's)")
                              ->type_name("LAT");
    o.parallelOption = user->add_option("--parallel", cone.parallel, "one standard parallel, with --scale")->type_name("LAT");
    CLI::Option* scale = user->add_option("--scale", cone.scale, "scale factor on that parallel")->type_name("K");
    CLI::Option* unit = o.unitOption = user->add_option("--unit", cone.unit, "grid unit: meter (default) or USFeet")
                            ->type_name("UNIT")
                            ->check(CLI::IsMember(std::vector<std::string>(kUnitTags.begin(), kUnitTags.end())));
    CLI::Option* falseEasting = user->add_option("--false-easting", cone.falseEasting, "in the grid unit (default 0)")
                                     ->type_name("X");
    CLI::Option* falseNorthing =
        user->add_option("--false-northing", cone.falseNorthing, "in the grid unit (default 0)")->type_name("Y");
    for (CLI::Option* option : {meridian, o.parallelsOption, origin, o.parallelOption, scale, unit, falseEasting,
                                falseNorthing})
        option->needs(o.datumOption);
    // --datum needs --meridian but where it only chooses a design's datum.
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
}

// The options that shape the input and the output.
void DescribeFormat(CLI::App& app, Options& o) {
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

// The options of ground and grid: the geoid, surface co-ordinates, and the
// design of a grid.
void DescribeGround(CLI::App& app, Options& o) {
    std::vector<std::int16_t> zones;
    for (const auto& zone : Tarvane_Module::StatePlaneZones()) zones.push_back(zone.number);
    CLI::App* ground = app.add_option_group("Ground and grid");
    ground->add_option("--geoid", o.geoid, "elevations through a geoid: egm96 (see Geoid)")->type_name("MODEL");
    o.surfaceFactorOption = ground->add_option("--surface-factor", o.surfaceFactor,
                                               "surface co-ordinates (see Surface)")
                                ->type_name("F");
    o.surfaceAtOption = ground->add_option("--surface-at", o.surfaceAt, "F = 1 / combined factor there")
                            ->type_name("LAT,LON,H")
                            ->expected(3)
                            ->allow_extra_args(false)
                            ->delimiter(',')
                            ->excludes(o.surfaceFactorOption);
    o.surfaceOriginOption = ground->add_option("--surface-origin", o.surfaceOrigin,
                                               "where surface = grid (default 0,0)")
                                ->type_name("E,N")
                                ->expected(2)
                                ->allow_extra_args(false)
                                ->delimiter(',');
    o.designOption = ground->add_option("--design", o.design, "a low-distortion grid (see Design)")
                         ->type_name("FILE");
    o.compareOption = ground->add_option("--compare", o.compare, "a State Plane zone beside it (1983 unless --system)")
                          ->type_name("N")
                          ->check(CLI::IsMember(zones))
                          ->needs(o.designOption);
    o.compareEpsgOption = ground->add_option("--compare-epsg", o.compareEpsg, "an EPSG grid beside it")
                              ->type_name("CODE")
                              ->needs(o.designOption)
                              ->excludes(o.compareOption);
    ground->add_option("--settings-out", o.settingsOut, "the design as a TARVANE.ini")
        ->type_name("OUT")
        ->needs(o.designOption);
}

}  // namespace

void Describe(CLI::App& app, Options& o) {
    app.description("tarvane-convert " TARVANE_VERSION ": " + HelpSection("Summary"));
    app.set_version_flag("--version", "tarvane-convert " TARVANE_VERSION);
    DescribeProjection(app, o);
    DescribeFormat(app, o);
    DescribeGround(app, o);
}

}  // namespace ConvertOptions
