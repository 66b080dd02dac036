// The batch tool's own pieces without the program around them: option angles
// read into numbers, the grammar of records and fields, and which column of a
// survey file holds what.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include <sys/mman.h>
#include <unistd.h>

#include "cli/BatchConvert.h"
#include "cli/BatchProjection.h"
#include "cli/Layout.h"
#include "cli/Records.h"
#include "engine/Tarvane_Module.h"

namespace {

using namespace Tarvane_Module;

// Texas South Central (zone 4204, NAD83) typed as decimal degrees, as other
// tools write it, some just below a whole minute: the grid within 1 mm of the
// zone's own.
TEST(BatchProjection, DecimalDegreeParametersGiveTheZonesGrid) {
    BatchProjection::ProjectionParameters zone;
    std::string error;
    ASSERT_TRUE(BatchProjection::ZoneParameters(false, 4204, zone, error)) << error;
    const struct { const char *south, *north, *origin, *meridian; } typed[] = {
        {"28.383333333", "30.283333333", "27.833333333", "-99"},
        {"28.38333333333333", "30.28333333333333", "27.83333333333333", "-99.0"},
        {"28 23 N", "30.2833333333333", "27:50:00N", "99 W"},
    };
    for (const auto& t : typed) {
        SCOPED_TRACE(t.south);
        const BatchProjection::ConeOptions o{"NAD83", "meter", t.south, t.north, t.origin, "", "", t.meridian,
                                             "4000000", "600000"};
        BatchProjection::ProjectionParameters cone;
        ASSERT_TRUE(BatchProjection::ConeParameters(o, cone, error)) << error;
        for (const double lat : {0.45, 0.49, 0.53}) {
            for (const double lon : {-1.76, -1.70}) {
                double e[2], n[2];
                for (int k = 0; k < 2; ++k) {
                    ASSERT_TRUE(BatchProjection::Setup(k ? cone : zone, error)) << error;
                    GeoToGrid(lat, lon, e[k], n[k]);
                }
                EXPECT_NEAR(e[0], e[1], 1e-3);
                EXPECT_NEAR(n[0], n[1], 1e-3);
            }
        }
    }
}

// Each record of `input` as "line:text" with its fields as "[raw|value]..."
// and a "!K" where field K's opening quote is an ordinary character; a table
// of `fields` fields separated by commas, or with `fields` < 0 a plain list.
std::vector<std::string> Read(const std::string& input, int fields) {
    const int fd = ::memfd_create("records", 0);
    EXPECT_TRUE(BatchConvert::WriteAll(fd, input) && ::lseek(fd, 0, SEEK_SET) == 0);
    Records::Reader reader([fd](char* buffer, std::size_t size) { return static_cast<long>(::read(fd, buffer, size)); });
    if (fields >= 0) reader.ReadTable(',', static_cast<std::size_t>(fields));
    Records::Splitter splitter;
    std::vector<std::string> out;
    for (Records::Record r; reader.Next(r);) {
        std::string text = std::to_string(r.line) + ":" + std::string(r.text);
        if (r.fault == Records::Record::Fault::TooLong) text += "TOO LONG";
        if (r.ordinaryQuote) text += "!" + std::to_string(r.ordinaryQuote);
        if (fields >= 0)
            for (const Records::Field& f : splitter.Split(r.text, ','))
                text += "[" + std::string(f.raw) + (f.raw == f.value ? "" : "|" + std::string(f.value)) + "]";
        out.push_back(text + (r.lineEnd == "\n" ? "" : r.lineEnd == "\r\n" ? "<CRLF>" : r.lineEnd == "\r" ? "<CR>" : "<END>"));
    }
    if (reader.byteOrderMark()) out.push_back("BOM");
    if (reader.utf16()) out.push_back("UTF-16");
    ::close(fd);
    return out;
}

// One grammar for where a record ends and what its fields are: quotes that
// open a field, quotes that are part of the text, line breaks inside quotes
// only where the record closes with the table's fields, and every line end.
TEST(Records, OneGrammarForRecordsAndFields) {
    using V = std::vector<std::string>;
    const struct {
        std::string input;
        int fields;
        V records;
    } cases[] = {
        // Inch marks and seconds marks inside a field are text; the next line is a record of its own.
        {"1,2,5/8\" REBAR\n3,4,29 30 15.5\"\n", 3, {"1:1,2,5/8\" REBAR[1][2][5/8\" REBAR]", "2:3,4,29 30 15.5\"[3][4][29 30 15.5\"]"}},
        // RFC 4180: quoted separators, doubled quotes, line breaks, blanks around the quotes.
        {"1,\"a, \"\"b\"\"\",c\n2,\"x\ny\",z\r\n3, \"q\" ,r", 3,
         {"1:1,\"a, \"\"b\"\"\",c[1][\"a, \"\"b\"\"\"|a, \"b\"][c]", "2:2,\"x\ny\",z[2][\"x\ny\"|x\ny][z]<CRLF>",
          "4:3, \"q\" ,r[3][ \"q\" |q][r]<END>"}},
        // A quote that nothing closes, or whose record would close with other fields than the table's:
        // its line is a record, the quote part of the text, and the lines after it stay records.
        {"1,2,\"OAK 12\n3,4,IRON\n", 3, {"1:1,2,\"OAK 12!3[1][2][\"OAK 12]", "2:3,4,IRON[3][4][IRON]"}},
        {"1,2,\"a\n3\",4\n5,6,7\n", 3, {"1:1,2,\"a!3[1][2][\"a]", "2:3\",4[3\"][4]", "3:5,6,7[5][6][7]"}},
        {"1,2,\"a\n3\",4\n", 0, {"1:1,2,\"a\n3\",4[1][2][\"a\n3\"|a\n3][4]"}},
        {"1,\"a\"b,c\n", 3, {"1:1,\"a\"b,c!2[1][\"a\"b][c]"}},
        {"1,2,\"open at the end", 3, {"1:1,2,\"open at the end!3[1][2][\"open at the end]<END>"}},
        // Line ends: LF, CR LF, CR alone, none at the end; empty lines are records.
        {"a\r\nb\rc\n\nd", -1, {"1:a<CRLF>", "2:b<CR>", "3:c", "4:", "5:d<END>"}},
        {"p,\"x\ry\",z\r\rq", 3, {"1:p,\"x\ry\",z[p][\"x\ry\"|x\ry][z]<CR>", "3:[]<CR>", "4:q[q]<END>"}},
        // A plain list reads lines, quotes and all.
        {"\"29.5 -95\n1 2\n", -1, {"1:\"29.5 -95", "2:1 2"}},
        // The byte order marks.
        {"\xEF\xBB\xBF" "a,b\n", 2, {"1:a,b[a][b]", "BOM"}},
        {"\xFF\xFE" "a\0,\0", 2, {"UTF-16"}},
        // A record too long to keep is reported in its place, and reading goes on.
        {"1\n" + std::string(Records::kMaxRecord + 1, 'x') + "\n2\n", -1, {"1:1", "2:TOO LONG<END>", "3:2"}},
    };
    for (const auto& c : cases) EXPECT_EQ(Read(c.input, c.fields), c.records) << c.input.substr(0, 60);
}

// Header spellings and column orders, heights above the ellipsoid before
// elevations, two columns of one role refused, and --columns by number or by
// name.
TEST(Columns, AreFoundByNameOrByColumns) {
    const struct {
        const char *first, *columns;
        bool inverse, header;
        int lat, lon, north, east, height;  // -2: MapColumns refuses
        bool elevation;
    } cases[] = {
        {"id,lat,lon,height,code", "", false, true, 1, 2, -1, -1, 3, false},
        {"Latitude;LONGITUDE;Ellipsoid_Height", "", false, true, 0, 1, -1, -1, 2, false},
        {"PHI\tLambda\tz", "", false, true, 0, 1, -1, -1, 2, true},
        {"Point,Northing,Easting,Elevation,Desc", "", true, true, -1, -1, 1, 2, 3, true},
        {"Name,Elevation,Longitude,Latitude,Ellipsoidal height", "", false, true, 3, 2, -1, -1, 4, false},
        {"E,N,H,h", "", true, true, -1, -1, 1, 0, 3, false},
        {"x, y ,h", "", true, true, -1, -1, 1, 0, 2, false},
        {"North,East,Elev", "h=Elev", true, true, -1, -1, 0, 1, 2, false},
        {"id,Lat,b", "lon=B", false, true, 1, 2, -1, -1, -1, false},
        {"id,lat,lon,", "", false, true, 1, 2, -1, -1, -1, false},
        {"ID,POINT_Y,POINT_X", "lat=2,lon=3", false, true, 1, 2, -1, -1, -1, false},
        {"1,2,3", "lat=1,lon=2,h=3", false, false, 0, 1, -1, -1, 2, false},
        {"lat,latitude,x,x", "", false, true, -2, 0, 0, 0, 0, false},   // two latitudes
        {"lat,latitude,lon", "lat=2", false, true, 1, 2, -1, -1, -1, false},
        {"lat,lon,h,hae", "", false, true, -2, 0, 0, 0, 0, false},      // two heights
        {"id,lat", "lon=7", false, true, -2, 0, 0, 0, 0, false},
        {"1,2", "lon=lat", false, false, -2, 0, 0, 0, 0, false},
        {"id,lat", "phi=1", false, true, -2, 0, 0, 0, 0, false},
    };
    Records::Splitter split;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.first);
        const auto& fields = split.Split(c.first, Columns::DetectSeparator(c.first));
        EXPECT_EQ(Columns::LooksLikeHeader(fields, *c.columns != 0), c.header);
        Columns::Layout l;
        std::string error;
        if (c.lat == -2) {
            EXPECT_FALSE(Columns::MapColumns(fields, c.header, c.columns, c.inverse, l, error));
            EXPECT_NE(error, "");
            continue;
        }
        ASSERT_TRUE(Columns::MapColumns(fields, c.header, c.columns, c.inverse, l, error)) << error;
        EXPECT_EQ((std::vector<int>{l.latitude, l.longitude, l.northing, l.easting, l.height}),
                  (std::vector<int>{c.lat, c.lon, c.north, c.east, c.height}));
        EXPECT_EQ(l.elevation, c.elevation);
    }
    // A data line is no header, nor are words that name no known column, nor a gap between names.
    for (const char* line : {"29.5,-95.25", "id,code,remark", "lat,29", "lat,,lon"})
        EXPECT_FALSE(Columns::LooksLikeHeader(split.Split(line, ','), false)) << line;
    EXPECT_TRUE(Columns::NamesHeaderColumns("lat=POINT_Y,lon=3"));
    EXPECT_FALSE(Columns::NamesHeaderColumns("lat=2,lon=3"));
}

}  // namespace
