#include "cli/ConvertProgram.h"

#include <cerrno>
#include <charconv>
#include <cstring>
#include <set>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "core/text/AngleInput.h"

namespace ConvertProgram {

namespace {

constexpr int kMaxPrecision = 12;

bool WholeNumber(const std::string& text, int& value) {
    const char* end = text.data() + text.size();
    const auto r = std::from_chars(text.data(), end, value);
    return !text.empty() && r.ec == std::errc() && r.ptr == end;
}

void Print(int fd, const std::string& text) {
    std::string_view rest = text;
    while (!rest.empty()) {
        const ssize_t n = ::write(fd, rest.data(), rest.size());
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return;
        rest.remove_prefix(static_cast<std::size_t>(n));
    }
}

int BadUsage(const std::string& error) {
    Print(2, "tarvane-convert: " + error + "\n" + UsageText() + "Try 'tarvane-convert --help' for more.\n");
    return 2;
}

}  // namespace

std::string UsageText() {
    return "Usage: tarvane-convert PROJECTION [--inverse] [--csv] [--precision N] [--dms] [FILE]\n"
           "PROJECTION is one of:\n"
           "  --zone N --system 1983|1927\n"
           "  --datum WGS84|NAD83|NAD27 --meridian LON\n"
           "      (--parallels LAT1 LAT2 --origin LAT | --parallel LAT --scale K)\n"
           "      [--unit meter|USFeet] [--false-easting X] [--false-northing Y]\n"
           "  --settings FILE\n"
           "       tarvane-convert --help | --version\n";
}

std::string HelpText() {
    return "tarvane-convert " TARVANE_VERSION
           ": converts points between geographic and Lambert conformal conic grid\n"
           "co-ordinates, with the same engine and the same numbers as the TARVANE window.\n\n" +
           UsageText() +
           "\n"
           "Projection\n"
           "  --zone N --system S   State Plane zone 903, 1701, 1702, 1703, 4203, 4204 or\n"
           "                        4205; system 1983 (NAD83, metres) or 1927 (NAD27, US\n"
           "                        survey feet). The same parameters as the window shows.\n"
           "  --datum D             WGS84, NAD83 or NAD27 (user-defined cone)\n"
           "  --unit U              grid unit meter (default) or USFeet\n"
           "  --parallels P1 P2     two standard parallels, with --origin LAT, the latitude\n"
           "                        of origin (where the false northing holds)\n"
           "  --parallel P --scale K  one standard parallel with its scale factor\n"
           "  --meridian LON        central meridian\n"
           "  --false-easting X, --false-northing Y   in the grid unit (default 0)\n"
           "  --settings FILE       the projection stored in a TARVANE.ini settings file\n"
           "  Angles of the projection take the forms of the input below; they are read\n"
           "  as the window reads its fields (seconds to about 0.000002\").\n"
           "\n"
           "Conversion\n"
           "  (default)             input latitude longitude, output easting northing\n"
           "  --inverse             input easting northing, output latitude longitude\n"
           "  --csv                 comma-separated output with a header line\n"
           "  --precision N         decimals of easting and northing, 0 to 12 (default 3)\n"
           "  --dms                 with --inverse: latitude and longitude as the window's\n"
           "                        angle text (29°30'15.500\"N) instead of decimal degrees\n"
           "  FILE                  input file; standard input when absent or \"-\"\n"
           "\n"
           "Input: one point per line. Empty lines and lines that begin with # are copied\n"
           "unchanged. Angles are read strictly; a bad line is an error, never a default:\n"
           "  signed decimal degrees      29.504306   -95.25\n"
           "  decimal degrees and letter  29.504306N  95.25 W\n"
           "  degrees minutes seconds     29 30 15.5 N   29°30'15.5\"N   29:30:15.5N\n"
           "A sign or a hemisphere letter, not both; whole degrees and minutes when\n"
           "minutes follow; minutes and seconds below 60; latitude at most 90 and\n"
           "longitude at most 180 degrees. The decimal mark is the point.\n"
           "Fields: a comma, semicolon or tab separates the two co-ordinates, and blanks\n"
           "inside a field belong to it (29 30 15.5 N, 95 15 W). On a line with blanks only,\n"
           "two words are two co-ordinates (29.5 -95.25); with more words the latitude ends\n"
           "at the first word that is or ends in a hemisphere letter and the rest is the\n"
           "longitude (29 30 15.5 N 95 15 W). Anything else, such as 29 30 95 15, is an\n"
           "error: separate such co-ordinates with a comma or tab, or add the letters.\n"
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
           "Exit status: 0 all lines converted; 1 a line failed, or reading or writing\n"
           "failed; 2 bad options, or a projection that cannot be set up.\n";
}

bool ParseOptions(const std::vector<std::string>& args, Options& o, std::string& error) {
    o = Options{};
    std::set<std::string> seen;
    bool positional = false, onlyFiles = false;
    const std::set<std::string> cone = {"--datum",  "--unit",       "--parallels",      "--origin",
                                        "--parallel", "--scale", "--meridian", "--false-northing",
                                        "--false-easting"};
    const std::set<std::string> withValue = [&] {
        std::set<std::string> s = cone;
        s.insert({"--zone", "--system", "--settings", "--precision"});
        return s;
    }();

    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (onlyFiles || arg == "-" || !arg.starts_with("-")) {
            if (positional) {
                error = "more than one input file";
                return false;
            }
            positional = true;
            o.input = arg;
            continue;
        }
        if (arg == "--") {
            onlyFiles = true;
            continue;
        }
        std::string name = arg, value;
        const std::size_t eq = arg.find('=');
        const bool inlineValue = arg.starts_with("--") && eq != std::string::npos;
        if (inlineValue) {
            name = arg.substr(0, eq);
            value = arg.substr(eq + 1);
        }
        if (name == "-h") name = "--help";
        if (!seen.insert(name).second) {
            error = name + " given twice";
            return false;
        }
        if (!withValue.count(name)) {
            if (inlineValue) {
                error = name + " takes no value";
                return false;
            }
            if (name == "--help") o.help = true;
            else if (name == "--version") o.version = true;
            else if (name == "--inverse") o.format.inverse = true;
            else if (name == "--csv") o.format.csv = true;
            else if (name == "--dms") o.format.dms = true;
            else {
                error = "unknown option " + BatchInput::Quote(arg);
                return false;
            }
            continue;
        }
        const auto next = [&](std::string& out) {
            if (i + 1 >= args.size()) {
                error = name + " needs a value";
                return false;
            }
            out = args[++i];
            return true;
        };
        std::string second;
        if (name == "--parallels") {
            // --parallels P1 P2, or --parallels=P1,P2
            if (inlineValue) {
                const std::size_t comma = value.find(',');
                if (comma == std::string::npos) {
                    error = "--parallels needs two values";
                    return false;
                }
                second = value.substr(comma + 1);
                value.resize(comma);
            } else if (!next(value) || !next(second)) {
                error = "--parallels needs two values";
                return false;
            }
        } else if (!inlineValue && !next(value)) {
            return false;
        }

        if (cone.count(name)) o.cone = true;
        int number = 0;
        if (name == "--zone") {
            if (!WholeNumber(value, number) || number < INT16_MIN || number > INT16_MAX ||
                !BatchProjection::IsKnownZone(static_cast<std::int16_t>(number))) {
                error = "--zone: " + BatchInput::Quote(value) +
                        " is not one of the zones " + BatchProjection::ZoneNumbers();
                return false;
            }
            o.zone = static_cast<std::int16_t>(number);
        } else if (name == "--system") {
            if (value != "1983" && value != "1927") {
                error = "--system: " + BatchInput::Quote(value) + " is not 1983 or 1927";
                return false;
            }
            o.system = value;
        } else if (name == "--precision") {
            if (!WholeNumber(value, number) || number < 0 || number > kMaxPrecision) {
                error = "--precision: " + BatchInput::Quote(value) + " is not a whole number from 0 to 12";
                return false;
            }
            o.format.precision = number;
        } else if (name == "--settings") {
            o.fromSettings = true;
            o.settingsPath = value;
        } else {
            auto& c = o.coneOptions;
            if (name == "--datum") c.datum = value;
            else if (name == "--unit") c.unit = value;
            else if (name == "--parallels") c.parallel1 = value, c.parallel2 = second;
            else if (name == "--origin") c.origin = value;
            else if (name == "--parallel") c.parallel = value;
            else if (name == "--scale") c.scale = value;
            else if (name == "--meridian") c.meridian = value;
            else if (name == "--false-northing") c.falseNorthing = value;
            else if (name == "--false-easting") c.falseEasting = value;
        }
    }
    if (o.help || o.version) return true;

    const int sources = (seen.count("--zone") ? 1 : 0) + (seen.count("--settings") ? 1 : 0) + (o.cone ? 1 : 0);
    if (sources == 0) {
        error = "no projection: give --zone and --system, --settings, or a cone with --datum";
        return false;
    }
    if (sources > 1) {
        error = "give one projection only: --zone, --settings or the options of a cone";
        return false;
    }
    if (seen.count("--zone") != seen.count("--system")) {
        error = seen.count("--zone") ? "--zone needs --system 1983 or 1927" : "--system needs --zone";
        return false;
    }
    if (o.format.dms && !o.format.inverse) {
        error = "--dms applies to --inverse only";
        return false;
    }
    if (o.format.inverse && seen.count("--precision")) {
        error = "--precision applies to easting and northing, which --inverse reads";
        return false;
    }
    return true;
}

bool ProjectionFields(const Options& o, ProjectionSetup::ParameterFields& fields, std::string& error) {
    if (o.zone != 0) {
        fields = BatchProjection::ZoneFields(o.system == "1927", o.zone);
        return true;
    }
    if (o.fromSettings) {
        TarvaneSettings settings;
        if (!Read_Tarvane_File(o.settingsPath, settings)) {
            error = "--settings: cannot read " + BatchInput::Quote(o.settingsPath) +
                    " as a settings file (thirteen lines as the window writes them)";
            return false;
        }
        fields = BatchProjection::SettingsFields(settings);
        return true;
    }
    return BatchProjection::ConeFields(o.coneOptions, fields, error);
}

int Main(int argc, char** argv) {
    Options options;
    std::string error;
    if (!ParseOptions(std::vector<std::string>(argv + (argc > 0 ? 1 : 0), argv + argc), options, error)) {
        return BadUsage(error);
    }
    if (options.help) {
        Print(1, HelpText());
        return 0;
    }
    if (options.version) {
        Print(1, "tarvane-convert " TARVANE_VERSION "\n");
        return 0;
    }
    ProjectionSetup::ParameterFields fields;
    if (!ProjectionFields(options, fields, error) || !BatchProjection::Setup(fields, error)) {
        return BadUsage(error);
    }
    options.format.usFeet = fields.unitTag == "USFeet";

    int in = 0;
    if (!options.input.empty() && options.input != "-") {
        in = ::open(options.input.c_str(), O_RDONLY | O_CLOEXEC);
        struct stat st {};
        if (in < 0 || ::fstat(in, &st) != 0 || S_ISDIR(st.st_mode)) {
            const int e = in < 0 ? errno : EISDIR;
            if (in >= 0) ::close(in);
            return BadUsage("cannot open " + BatchInput::Quote(options.input) + ": " + std::strerror(e));
        }
    }
    if (options.format.csv) Print(1, BatchConvert::Header(options.format) + "\n");
    const int status = BatchConvert::Run(in, 1, 2, options.format, ::isatty(2) == 1);
    if (in != 0) ::close(in);
    return status;
}

}  // namespace ConvertProgram
