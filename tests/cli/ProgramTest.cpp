// tarvane-convert run as a user runs it: each row gives the options, the
// input, the exit status and what must stand in the output and on standard
// error. Last, a large input streams through in constant memory.
#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>

#include <sys/wait.h>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;

struct Result {
    int status;
    std::string out, err;
};

std::string ReadFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

// Runs `tarvane-convert ARGS` through the shell, in a fresh folder, with
// `input` on standard input; a crash shows as status -1. With no ARGS, the
// input is a shell command to run there instead.
Result RunProgram(const std::string& args, const std::string& input) {
    const fs::path dir = fs::temp_directory_path() / ("tarvane-convert-" + std::to_string(::getpid()));
    fs::create_directories(dir);
    std::ofstream(dir / "in", std::ios::binary) << input;
    std::ofstream(dir / "short.ini") << " 0 \r\n-1 \r\n";
    std::ofstream(dir / "zone.ini") << " 1 \r\n 5 \r\n 1 \r\n 0 \r\n\r\n\r\n 2 \r\n27\xf8" "50'00.000\"N\r\n28\xf8" "23'00.000\"N\r\n"
                                       "30\xf8" "17'00.000\"N\r\n099\xf8" "00'00.000\"W\r\n4000000\r\n600000\r\n";
    std::ofstream(dir / "bad.ini") << " 0 \r\n-1 \r\n 0 \r\n 0 \r\n\r\n\r\n 2 \r\n29 75 N\r\n20\r\n40\r\n75 W\r\n0\r\n0\r\n";
    const std::string command = "cd '" + dir.string() + "' && " +
                                (args.empty() ? "(" + input + ")" : "'" TARVANE_CONVERT "' " + args + " <in") + " >out 2>err";
    const int status = std::system(command.c_str());
    Result r{WIFEXITED(status) ? WEXITSTATUS(status) : -1, ReadFile(dir / "out"), ReadFile(dir / "err")};
    fs::remove_all(dir);
    return r;
}

const std::string kZone = "--zone 4204 --system 1983 ";
const std::string kCone = "--datum WGS84 --meridian -96 ";
// Zone 4204's origin, 27°50' N 99° W, is its false easting and northing.
const std::string kOrigin = "600000.000\t4000000.000\t1.000203234\t0.000000000\t6349333.132\t6382796.076\n";
const std::string kOriginCsv = "600000.000,4000000.000,1.000203234,0.000000000,6349333.132,6382796.076";

// Two points far from the origin of zone 4204 of 1927, in US survey feet.
const std::string kFar = "26 N\t100 W\t1671025.2756\t-665549.1790\t...\n30.5 N\t96.5 W\t2787402.2853\t978053.3097\t...\n";

struct Row {
    std::string args, input;
    int status;
    std::string out;  // the whole output; "..." stands for any text
    std::string err;  // a part of standard error; empty: none at all
};

bool Matches(std::string_view text, std::string_view pattern) {
    const std::size_t cut = pattern.find("...");
    if (cut == std::string_view::npos) return text == pattern;
    if (!text.starts_with(pattern.substr(0, cut))) return false;
    text.remove_prefix(cut);
    pattern.remove_prefix(cut + 3);
    for (std::size_t at = 0; at <= text.size(); ++at)
        if (Matches(text.substr(at), pattern)) return true;
    return false;
}

const Row kRows[] = {
    // Conversions: comments and empty lines are copied, the input fields kept.
    {kZone, "# points\n\n27 50 N, 99 W\r\n27.8333333333\t-99.0\n", 0,
     "# points\n\n27 50 N\t99 W\t" + kOrigin + "27.8333333333\t-99.0\t" + kOrigin, ""},
    {kZone + "--inverse --csv --dms", "600000 4000000\n", 0,
     "easting,northing,latitude,longitude,scale_factor,convergence,meridian_radius,prime_vertical_radius,"
     "iterations\n600000,4000000,\"27\u00B050'00.000\"\"N\",\"099\u00B000'00.000\"\"W\",1.000203234,0.000000000,"
     "6349333.132,6382796.076,5\n", ""},
    // --precision sets the decimals of the second with --dms.
    {kZone + "--inverse --dms --precision 1", "600000 4000000\n", 0,
     "600000\t4000000\t27\u00B050'00.0\"N\t099\u00B000'00.0\"W\t...", ""},
    {"--zone=4204 --system=1927 --precision 1", "27 50 N 99 W\n", 0, "27 50 N\t99 W\t2000000.0\t0.0\t1.000203222\t...", ""},
    {"--datum NAD83 --meridian -99 --parallels 28.383333333 30.283333333 --origin 27.833333333 "
     "--false-easting 600000 --false-northing 4000000", "27 50 N, 99 W\n", 0, "27 50 N\t99 W\t" + kOrigin, ""},
    {kCone + "--parallels=33,45 --origin 23 -- -", "40 N, 80 W\n", 0, "40 N\t80 W\t1352003.253\t2016449.325\t...", ""},
    // Lines that fail are marked and reported with their numbers; the run goes on.
    {kZone + "--csv", "91 0\nabc\n90 -99\n1,2,3\n28 -99\n", 1,
     "latitude,...", "line 1: latitude \"91\": beyond 90 degrees"},
    {kZone, "1\n90 -99\n", 1, "1\t\tERROR\n90\t-99\tERROR\n", "line 2: invalid argument: a latitude of 90\u00B0 north"},
    {kZone + "--csv", "1,2,3\n", 1, "...\n\"1,2,3\",,ERROR,,,,,\n", "line 1: more than two fields: a table needs a header"},
    // No line is lost for its length.
    {kZone + "--inverse", "600000 40000000\n600000 " + std::string(70000, '1') + "\n600000 4000000\nx y", 1,
     "600000\t40000000\tERROR\n600000\t111...\tERROR\n600000\t4000000\t...\nx\ty\tERROR\n",
     "line 1: invalid argument: the point lies beyond the apex"},
    // Bad options and projections stop before any input is read.
    {"--csv", "", 2, "", "no projection given: give exactly one of --zone (with --system), --datum"},
    {"--zone 1", "", 2, "", "Try 'tarvane-convert --help' for more."},
    {"--zone 4204", "", 2, "", "--zone requires --system"},
    {"--zone 4206 --system 1983", "", 2, "", "--zone: 4206 not in {903,1701,1702,1703,4203,4204,4205}"},
    {"--zone 4204 --system 1984", "", 2, "", "--system: 1984 not in"},
    {kZone + "--datum WGS84 --meridian 0 --parallel 30 --scale 1", "", 2, "", "more than one projection given"},
    {kZone + "--precision 13", "", 2, "", "--precision: 13 decimals are more than 12"},
    {kZone + "--precision 2.5", "", 2, "", "--precision: \"2.5\" is not a whole number from 0 to 12"},
    {kZone + "--inverse --dms --precision 5", "", 2, "", "--precision: 5 decimals of the second are more than 4"},
    {kZone + "--inverse --precision 2", "", 2, "", "--precision: --inverse writes degrees with 9 decimals"},
    {kZone + "--inverse --dms --geojson", "", 2, "", "--dms and --geojson: GeoJSON positions are decimal degrees"},
    {kZone + "no-such-file", "", 2, "", "tarvane-convert: cannot open \"no-such-file\": No such file or directory\n"},
    {kCone, "", 2, "", "--parallels and --origin, or --parallel and --scale, are missing"},
    {kCone + "--parallels 33 45", "", 2, "", "--parallels requires --origin"},
    {kCone + "--parallels 33 45 --origin 23 --parallel 30", "", 2, "", "excludes"},
    {kCone + "--parallels 33 95 --origin 23", "", 2, "", "--parallels: latitude \"95\": beyond 90 degrees"},
    {kCone + "--parallels 33 33 --origin 23", "", 2, "", "two equal standard parallels give no cone; use --parallel"},
    {kCone + "--parallels=-30,30 --origin 0", "", 2, "", "give no cone"},
    {kCone + "--parallel 30 --scale one", "", 2, "", "--scale: \"one\" is not a number"},
    {kCone + "--parallel 30 --scale 0", "", 2, "", "The scale factor must be greater than 0."},
    {kCone + "--parallel 30 --scale 1 --unit feet", "", 2, "", "--unit: feet not in"},
    {kCone + "--parallel 30 --scale 1 --false-easting '5e5 m'", "", 2, "", "--false-easting: \"5e5 m\" is not a number"},
    {"--datum wgs84 --meridian 0 --parallel 30 --scale 1", "", 2, "", "--datum: wgs84 not in"},
    {"--settings short.ini", "", 2, "", "--settings: cannot read \"short.ini\""},
    {"--settings ''", "", 2, "", "--settings: cannot read \"\""},
    {"--settings bad.ini", "", 2, "", "LATITUDE MINUTE FORMAT ERROR. Max 59 allowed"},
    {"--settings zone.ini", "27 50 N, 99 W\n26 N, 99 W\n", 0, "27 50 N\t99 W\t" + kOrigin + "...",
     "1 point lies outside the area of EPSG:32140 (NAD83 / Texas South Central): line 2\n"},
    // Survey files: a table with a header keeps every column as it came
    // (quotes, commas, line breaks, CR LF) and adds the results after them.
    {kZone, "\xEF\xBB\xBFid,lat,lon,code\r\n7,27 50 N,99 W,\"CP, \"\"iron\"\"\r\nrod\"\r\n8,91,0,x\r\n", 1,
     "\xEF\xBB\xBFid,lat,lon,code,easting,northing,scale_factor,convergence,meridian_radius,prime_vertical_radius\r\n"
     "7,27 50 N,99 W,\"CP, \"\"iron\"\"\r\nrod\"," + kOriginCsv + "\r\n8,91,0,x,ERROR,,,,,\r\n",
     "line 1 is taken as a header naming the columns (--header says so)\ntarvane-convert: line 4: latitude \"91\""},
    {kZone + "--header --columns lat=B,lon=3", "a;B;c;h\n;27 50 N;99 W;0\n", 0,
     "a;B;c;h;easting;northing;scale_factor;convergence;meridian_radius;prime_vertical_radius;elevation_factor;"
     "combined_factor\n;27 50 N;99 W;0;600000.000;...;1.000000000;1.000203234\n",
     "heights from column 4 \"h\", above the ellipsoid"},
    {kZone + "--inverse", "e;n;h\n600000;4000000,0;1000000\n600000;4000000;1e6\n", 0,
     "e;n;h;...\n600000;4000000,0;1000000;27,833333329;-99,000000000;1,000203234;...;0,864417537\n"
     "600000;4000000;1e6;27.833333329;...;0.864417537\n", "line 1 is taken as a header"},
    {kZone + "--inverse --height 1e6", "E\tN\tnote, x\n600000\t4000000\tb, c\n", 0, "...\t6382796.076\t5\t0.864241893\t0.864417537\n",
     "line 1 is taken as a header"},
    // Bad rows of a table: a wrong number of fields, a height that is no
    // number, a quote that nothing closes; the rows around them stay.
    {kZone, "lat,lon,h\n28,-99\n28,-99,x\n\"28\"x,-99,1\n28,-99,1\n28,\"-99,1\n", 1,
     "lat,...\n28,-99,ERROR,,,,,,,\n28,-99,x,ERROR,,,,,,,\n\"28\"x,-99,1,ERROR,,,,,,,\n"
     "28,-99,1,600000.000,...\n28,\"-99,1,ERROR,,,,,,,\n",
     "line 4: field 1 begins with a quote that nothing closes on its line: the quote is read as part of the text"},
    {kZone + "--columns lat=1,lon=9", "27.5,-99\n", 2, "", "--columns: no column \"9\""},
    {kZone + "--header", "id,code\n", 2, "", "no latitude column"},
    // Point files: errors keep the point and its other columns.
    {kZone + "--inverse --format PNEZD", "1,4000000,600000,10.5,CP 1\n2,4000000\n3,x,1,2,d\n", 1,
     "1,27.833333329,-99.000000000,10.5,CP 1\n2,ERROR,ERROR,,\n3,ERROR,ERROR,2,d\n", "line 2: expected 5 fields (pnezd), found 2"},
    {kZone + "--inverse --format pnezd --geojson", "1,4000000,600000,10.5,CP 1\n", 0,
     "...\"elevation\":\"10.5\",\"description\":\"CP 1\",\"latitude\":27.833333329,...\"combined_factor\":1.000201584}}\n]}\n",
     "heights from column 4 \"elevation\": elevations above the geoid, taken as heights above the ellipsoid"},
    {kZone + "--format pnezd", "", 2, "", "convert it with --inverse"},
    {kZone + "--format pyxzd --csv", "", 2, "", "excludes"},
    {kZone + "--height 12m", "", 2, "", "--height: \"12m\" is not a number"},
    {kZone + "--height -7e6", "28 -99\n", 1, "28\t-99\tERROR\n", "line 1: height -7000000: at or below the centre"},
    // Survey files as they come from the field. Inch marks in descriptions are text, and every point stays.
    {kZone + "--inverse --format pnezd", "1001,4190539.326,963513.049,12.40,5/8\" REBAR\n1002,4191016.263,963497.750,"
     "11.85,IRON ROD\n1003,4191100.000,963400.000,11.00,1/2\" PIPE\n1004,4191200.000,963300.000,10.00,MAG NAIL\n", 0,
     "1001,29.499999997,-95.249999995,12.40,5/8\" REBAR\n1002,29.504305554,-95.250000005,11.85,IRON ROD\n"
     "1003,29.505088986,-95.250980062,11.00,1/2\" PIPE\n1004,29.506019724,-95.251977956,10.00,MAG NAIL\n", ""},
    // A description that opens a quote and never closes it swallows nothing; CR alone ends a line.
    {kZone + "--inverse --format pnezd", "1,4190539.326,963513.049,12.40,\"OAK 12\r2,4191016.263,963497.750,11.85,"
     "IRON ROD\r", 0, "1,29.499999997,-95.249999995,12.40,\"OAK 12\r2,29.504305554,-95.250000005,11.85,IRON ROD\r",
     "line 1: field 5 begins with a quote that nothing closes on its line"},
    // Headers after comments, with a trailing separator, named by --columns, or beside --columns by number.
    {kZone, "# exported\n\nid,lat,lon,\n# a comment\n1,29.5,-95.25,\n", 0,
     "# exported\n\nid,lat,lon,,easting,...\n# a comment\n1,29.5,-95.25,,963513.049,4190539.326,...",
     "line 3 is taken as a header naming the columns"},
    {kZone + "--columns lat=POINT_Y,lon=POINT_X", "OID,POINT_Y,POINT_X\n1,29.5,-95.25\n", 0,
     "OID,POINT_Y,POINT_X,easting,...\n1,29.5,-95.25,963513.049,...", ""},
    {kZone + "--columns lat=2,lon=3", "OID,POINT_Y,POINT_X\n1,29.5,-95.25\n", 0,
     "OID,POINT_Y,POINT_X,easting,...\n1,29.5,-95.25,963513.049,...", "line 1 is taken as a header"},
    // Heights above the ellipsoid before elevations, and standard error says which; two latitudes are refused.
    {kZone, "Name,Elevation,Longitude,Latitude,Ellipsoidal height\nCP1,35.12,-95.25,29.5,9.23\n", 0,
     "...,0.999998550,0.999865929\n",
     "heights from column 5 \"Ellipsoidal height\", above the ellipsoid (not the elevations of column 2"},
    {kZone, "id,lat,Latitude,lon\n1,29.5,29.5,-95.25\n", 2, "",
     "column 2 \"lat\" and column 3 \"Latitude\" both hold the latitude: choose one with --columns lat=N"},
    // A point far outside its grid says so, and converts.
    {kZone, "29.5 95.25\n28 -99\n29.5 -95.25\n29.4 95.25\n", 0, "29.5\t95.25\t-10605416.998\t...",
     "2 points lie outside the area of EPSG:32140 (NAD83 / Texas South Central): lines 1, 4; a longitude without its sign?"},
    // A result that a column names already gets a name of its own.
    {kZone, "id,lat,lon,easting\n1,28,-99,old\n", 0,
     "id,lat,lon,easting,computed_easting,northing,...\n1,28,-99,old,600000.000,...", "line 1 is taken as a header"},
    // Text that cannot be read says what it is.
    {kZone, "\xFF\xFE" "2\0009\000", 2, "", "the input is UTF-16 text, which tarvane-convert cannot read: save it as UTF-8"},
    // Grids of the EPSG registry, against PROJ's cs2cs: international feet, and
    // a point across the antimeridian from the central meridian (176 W) and back.
    {"--epsg 2256", "47 N, 110 W\n", 0, "47 N\t110 W\t1843816.781\t1002948.536\t...", ""},
    {"--epsg EPSG:26940", "52 N, 179 E\n", 0, "52 N\t179 E\t656902.480\t123207.313\t0.999953866\t-3.98461...", ""},
    {"--epsg 26940 --inverse", "656902.480 123207.313\n", 0, "656902.480\t123207.313\t51.999999991\t179.000000000\t...", ""},
    // The registry's NAD27 Texas South Central is the zone 4204 of 1927 to a tenth of a millimetre (the registry
    // gives Clarke 1866 by its axes, so its e^2 differs from NAD27's in the last digits).
    {"--epsg 32040 --precision 4", "26 N, 100 W\n30.5 N, 96.5 W\n", 0, kFar, "1 point lies outside"},
    {"--zone 4204 --system 1927 --precision 4", "26 N, 100 W\n30.5 N, 96.5 W\n", 0, kFar, "1 point lies outside"},
    // GeoJSON readers take WGS 84: positions on NAD27 say so, and name their datum.
    {"--zone 4204 --system 1927 --geojson", "28 N, 99 W\n", 0, "{\"type\":\"FeatureCollection\",\"datum\":\"NAD27\",...",
     "the GeoJSON positions are on NAD27, not WGS 84"},
    {"--epsg 26915", "", 2, "", "--epsg: EPSG:26915 is not a Lambert conformal conic grid (Transverse Mercator)"},
    {"--epsg 32040 --zone 4204 --system 1927", "", 2, "", "more than one projection given"},
    {"--list-epsg 'TEXAS SOUTH central'", "", 0, "2278\tNAD83 / Texas South Central (ftUS)\tUS survey foot\n...32040\t"
     "NAD27 / Texas South Central\tUS survey foot\n32140\tNAD83 / Texas South Central\tmetre\n", ""},
    {"--list-epsg zzz", "", 1, "", "no Lambert conic grid of the EPSG registry holds \"zzz\""},
    {"", "'" TARVANE_CONVERT "' --list-epsg texas >/dev/full", 1, "", "cannot write the list: No space left on device"},
    // Elevations through EGM96: the geoid height beside the factors; a missing grid and a point outside one.
    {kZone + "--geoid egm96", "id,lat,lon,elev\n1,29.5,-95.25,12.4\n", 0, "id,lat,lon,elev,easting,...,"
     "prime_vertical_radius,geoid_height,elevation_factor,combined_factor\n1,29.5,-95.25,12.4,963513.049,...,"
     "-28.307,1.000002498,0.999869877\n", "by adding the geoid height N of EGM96 (h = H + N)"},
    {"", "PROJ_DATA=/none '" TARVANE_CONVERT "' " + kCone + "--parallel 30 --scale 1 --geoid egm96", 2, "",
     "--geoid: the geoid model EGM96 needs the grid egm96_15.gtx, which PROJ cannot open"},
    {"", "python3 -c \"import struct; open('s.gtx', 'wb').write(struct.pack('>4d2i4f', 29, -96, 1, 1, 2, 2, *[-25] * 4))"
     "\" && printf '29.5 -95.5\\n29.5 -90\\n' | '" TARVANE_CONVERT "' " + kZone + "--geoid s.gtx", 1,
     "29.5\t-95.5\t...\t-25.000\n29.5\t-90\tERROR\n", "line 2: no geoid height here: outside the coverage of the "
     "geoid model s.gtx"},
    {kZone + "--geoid egm97", "", 2, "", "--geoid: \"egm97\" is neither a geoid model TARVANE knows (egm96) nor"},
    // Surface co-ordinates beside the grid's, about an origin; a factor from a point, stated with its digits.
    {kZone + "--csv --surface-factor 1.00012 --surface-origin 900000,4100000", "29.5 -95.25\n", 0,
     "latitude,longitude,easting,northing,surface_easting,surface_northing,...\n29.5,-95.25,963513.049,"
     "4190539.326,963520.670,4190550.191,...", ""},
    {kZone + "--surface-at 29.5,-95.25,30 --precision 6", "29.5 -95.25\n", 0, "29.5\t-95.25\t963513.048558\t"
     "4190539.325851\t963645.388039\t4191114.900618\t...", "surface factor 1.000137351: 1 / 0.999862668, the "
     "combined factor at 29.5, -95.25, height 30"},
    {kZone + "--surface-factor 1.5", "", 2, "", "--surface-factor: 1.5 lies more than a hundredth from 1"},
    {kZone + "--surface-origin 1,2", "", 2, "", "--surface-origin needs --surface-factor or --surface-at"},
    // A grid designed in US feet for points on one parallel 1000 m up: k0 = (R + h) / R; its settings file, as the
    // window reads it, puts the origin at the false easting and northing.
    {"", "printf 'lat,lon,h\\n44 07 N,121 30 W,3280.833\\n44 07 N,120 30 W,3280.833\\n' >p && '" TARVANE_CONVERT
     "' --design p --datum NAD83 --unit USFeet --settings-out d.ini >/dev/null && echo '44 07 N, 121 W' | '"
     TARVANE_CONVERT "' --settings d.ini", 0, "44 07 N\t121 W\t160000.000\t20000.000\t1.000157000\t...",
     "heights from column 3 \"h\", above the ellipsoid"},
    // A point file in the zone's grid, its elevations through the geoid, beside the zone.
    {"--zone 4204 --inverse --format pnezd --geoid egm96 --system 1983 --compare 4204 --design in", "1001,4190539.326,963513.049,12.4,"
     "IRON ROD\n1002,4180000,950000,30.5,CP\n", 0, "Lambert conformal conic, one standard parallel, NAD83, metres:\n"
     "  latitude of origin  29\u00B029'00.000\"N\n...  scale factor        0.999998\n...this grid   zone 4204\n"
     "  smallest             -1.5      -136.3\n  largest               0.5      -130.1\n  mean                 -0.5      -133.2\n"
     "  within 10 ppm        100%          0%\n  within 20 ppm        100%          0%\n  within 50 ppm        100%          0%\n"
     "  zone 4204: State Plane 1983, zone 4204 Texas South Central\n\n"
     "line\tpoint\tlatitude\tlongitude\theight\teasting\tnorthing\tcombined_factor\tppm\tppm zone 4204\n1\t1001\t...\t-15.907\t"
     "...\n2\t...PROJ string:\n+proj=lcc +lat_1=29.4833333333333 ...WKT2:\nPROJCRS[\"NAD83 / low-distortion grid 29 29N "
     "95 19W\",...", "elevations above the geoid, made heights above the ellipsoid"},
    {"--design in --compare 4204", "lat,lon,h\n29.5,-95.25,10\n29.6,-95.4,20\n", 0,
     "...  zone 4204: State Plane 1983, zone 4204 Texas South Central\n...", "heights from column 3"},
    {"--design in", "lat,lon,h\n44,-121,100\n", 1, "", "--design: a grid needs at least 2 points to fit"},
    {"--design in", "lat,lon\n44,-121\n45,-121\n", 2, "", "no height or elevation column (h, height, elevation"},
    {"--design in --inverse", "", 2, "", "--design --inverse: the points' grid co-ordinates need their projection"},
    {"--design in --compare-epsg 26915", "", 2, "", "--compare-epsg: EPSG:26915 is not a Lambert conformal conic"},
    {"--design in --system 1983", "", 2, "", "--system goes with --zone or --compare"},
    // Help and version.
    {"--help", "", 0, "tarvane-convert 1.01: converts points...", ""},
    {"--version", "", 0, "tarvane-convert 1.01\n", ""},
};

TEST(Program, RowsOfOptionsInputAndOutput) {
    for (const Row& row : kRows) {
        SCOPED_TRACE(row.args + " < " + row.input.substr(0, 40));
        const Result r = RunProgram(row.args, row.input);
        EXPECT_EQ(r.status, row.status) << r.err;
        EXPECT_TRUE(Matches(r.out, row.out)) << r.out;
        if (row.err.empty()) {
            EXPECT_EQ(r.err, "");
        } else {
            EXPECT_NE(r.err.find(row.err), std::string::npos) << r.err;
        }
    }
}

// A point file through the inverse and back gives the same file, to the
// precision it was written with.
TEST(Program, PointFileRoundTrip) {
    const std::string pnezd = "1,3913456.693,618832.104,1.00,PT1\n2,4167484.645,485231.422,,\"fence, NE corner\"\r\n";
    const Result there = RunProgram(kZone + "--inverse --format pnezd", pnezd);
    ASSERT_EQ(there.status, 0) << there.err;
    EXPECT_TRUE(Matches(there.out, "1,27.0...,-98.8...,1.00,PT1\n2,...,\"fence, NE corner\"\r\n")) << there.out;
    const Result back = RunProgram(kZone + "--format pyxzd", there.out);
    EXPECT_EQ(back.out, pnezd);
    EXPECT_EQ(RunProgram(kZone + "--inverse --format penzd",
                         "1,618832.104,3913456.693,1.00,PT1\n2,485231.422,4167484.645,,\"fence, NE corner\"\r\n").out,
              there.out);
}

// Surface co-ordinates to latitude and longitude (9 decimals) and back come
// within the printed precision and the inverse's known 0.001 m.
TEST(Program, SurfaceRoundTrip) {
    const std::string surface = kZone + "--surface-factor 1.000137 --surface-origin 900000,4100000 --format ";
    const std::string pnezd = "1,4190550.191,963520.671,12.4,CP1\n2,3913456.693,618832.104,1.0,PT2\n3,4201160.212,948636.109,,\n";
    const Result there = RunProgram(surface + "pnezd --inverse", pnezd), back = RunProgram(surface + "pyxzd", there.out);
    ASSERT_EQ(there.status + back.status, 0) << there.err << back.err;
    std::istringstream a(pnezd), b(back.out);
    std::string x, y;
    for (int k = 0; k < 3; ++k) {
        ASSERT_TRUE(std::getline(a, x) && std::getline(b, y));
        for (std::size_t f = x.find(','), g = y.find(','); f != x.npos && g != y.npos; f = x.find(',', f + 1), g = y.find(',', g + 1))
            EXPECT_NEAR(std::atof(x.c_str() + f + 1), std::atof(y.c_str() + g + 1), 0.0015) << x << " " << y;
    }
}

// GeoJSON read back by a JSON parser: one feature a row, the point as
// longitude and latitude, the columns and the results as properties, and a
// bad row without a geometry.
TEST(Program, GeoJsonParsesBack) {
    const Result r = RunProgram(kZone + "--geojson", "id,lat,lon,h,note,easting\n1,27 50 N,99 W,100,\"a \"\"b\"\"\",old\n"
                                                     "2,91,0,,\xff,\n3,28,-99,,\"c\"d,\n");
    EXPECT_EQ(r.status, 1);
    const nlohmann::json json = nlohmann::json::parse(r.out);
    EXPECT_EQ(json["type"], "FeatureCollection");
    EXPECT_EQ(json["datum"], "NAD83");
    ASSERT_EQ(json["features"].size(), 3u);
    const auto& good = json["features"][0];
    EXPECT_EQ(good["geometry"]["type"], "Point");
    EXPECT_NEAR(good["geometry"]["coordinates"][0].get<double>(), -99.0, 1e-9);
    EXPECT_NEAR(good["geometry"]["coordinates"][1].get<double>(), 27 + 50 / 60.0, 1e-9);
    const auto& p = good["properties"];
    EXPECT_EQ(p["id"], "1");
    EXPECT_EQ(p["note"], "a \"b\"");
    EXPECT_EQ(p["easting"], "old");  // a column's name is not taken by a result
    EXPECT_EQ(p["computed_easting"], 600000.0);
    EXPECT_EQ(p["northing"], 4000000.0);
    EXPECT_EQ(p["scale_factor"], 1.000203234);
    EXPECT_NEAR(p["combined_factor"].get<double>(), 1.000203234 * (1 - 100 / 6365.8e3), 2e-9);
    const auto& bad = json["features"][1];
    EXPECT_TRUE(bad["geometry"].is_null());
    EXPECT_EQ(bad["properties"]["note"], "\uFFFD");
    EXPECT_NE(bad["properties"]["error"].get<std::string>().find("beyond 90 degrees"), std::string::npos);
    EXPECT_EQ(bad["properties"]["id"], "2");  // the fields of a failed row stay
    EXPECT_EQ(json["features"][2]["properties"]["note"], "\"c\"d");  // a quote that closes nothing is text
}

// Large point files and GeoJSON go through the two cores too: every row and
// feature comes out once, in its place, with its point and description.
TEST(Program, EveryRowInItsPlaceOnTwoCores) {
    const long n = 20000;
    const std::string points = "awk 'BEGIN { for (i = 0; i < " + std::to_string(n) +
        "; i++) printf \"P%d,%.3f,%.3f,%d,\\\"d, %d\\\"\\n\", i, 4100000 + i % 97, 900000 + i % 89, i % 50, i }' > pts && '"
        TARVANE_CONVERT "' " + kZone + "--inverse --format pnezd pts";
    const Result file = RunProgram("", points), json = RunProgram("", points + " --geojson");
    ASSERT_EQ(file.status + json.status, 0) << file.err << json.err;
    std::istringstream rows(file.out);
    const nlohmann::json features = nlohmann::json::parse(json.out)["features"];
    ASSERT_EQ(features.size(), static_cast<std::size_t>(n));
    std::string row;
    for (long k = 0; k < n; ++k) {
        const std::string id = "P" + std::to_string(k), description = "d, " + std::to_string(k);
        ASSERT_TRUE(std::getline(rows, row) && row.starts_with(id + ",") &&
                    row.ends_with("," + std::to_string(k % 50) + ",\"" + description + "\"")) << row;
        ASSERT_EQ(features[k]["properties"]["point"].get<std::string>() + features[k]["properties"]["description"].get<std::string>(),
                  id + description);
    }
    EXPECT_FALSE(std::getline(rows, row));
}

// A large input through a pipe: every line comes out, in its place (the
// records are converted on two cores), and the peak memory (GNU time's
// maximum resident size, KiB) does not grow with the input.
TEST(Program, StreamsInConstantMemory) {
#if defined(__SANITIZE_ADDRESS__)
    const long small = 20000, large = 100000;  // the sanitizers are slower
#else
    const long small = 200000, large = 1000000;
#endif
    const auto peak = [](long lines) {
        const Result r = RunProgram("", "awk 'BEGIN { for (i = 0; i < " + std::to_string(lines) +
            "; i++) printf \"%.6f %.6f\\n\", 28 + i % 2000 * 0.001, -99 + i % 3000 * 0.001 }' | tee pts | "
            "/usr/bin/time -f %M '" TARVANE_CONVERT "' " + kZone + ">out2 && cut -f1,2 out2 | tr '\\t' ' ' | "
            "cmp -s - pts && wc -l <out2 || echo -1");
        EXPECT_EQ(r.status, 0) << r.err;
        EXPECT_EQ(std::stol(r.out), lines);
        return std::stol(r.err);
    };
    const long a = peak(small), b = peak(large);
    // Five times the input and about 60 MB more output: a program that kept
    // either would grow by far more.
    EXPECT_LT(b - a, 4096) << a << " KiB for " << small << " lines, " << b << " KiB for " << large;
}

}  // namespace
