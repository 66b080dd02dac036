// Which column of a survey file holds what: the header that names the
// columns, --columns, the fixed orders of point files, and what standard
// error says of the choice.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "cli/Records.h"

namespace Columns {

// What a column holds, for the conversion.
enum class Role { Latitude, Longitude, Northing, Easting, Height, Elevation, Other };

// Where the columns are: an index from 0 for each role that a conversion
// reads, -1 when there is none.
struct Layout {
    char separator = ',';
    bool header = false;             // a record names the columns
    std::vector<std::string> names;  // the header's names, or names for a file without one
    int latitude = -1, longitude = -1, northing = -1, easting = -1;
    int height = -1;                 // the column the heights come from...
    bool elevation = false;          // ...which holds elevations above the geoid
    int passedOver = -1;             // an elevation column not used, beside heights above the ellipsoid
    std::string pointFormat;         // "pnezd" and the like for a point file, empty otherwise
    std::size_t fieldCount = 0;      // fields in every record
};

// The role a header name gives its column, in any case: latitude lat,
// latitude, phi; longitude lon, long, longitude, lambda; northing n, north,
// northing, y; easting e, east, easting, x; height above the ellipsoid h,
// height, ellipsoid_height, ellipsoidal height, h_ell, hae, ellh; elevation
// above the geoid H (a capital), elevation, elev, ortho_height, z.
Role RoleOfName(std::string_view name);

// Whether the fields of a record look like a header: every one a word
// (empty ones may close it, after a trailing separator), and one of them a
// known column name unless `anyNames`.
bool LooksLikeHeader(const std::vector<Records::Field>& fields, bool anyNames);

// The separator of a table, from its first record: a tab, else a comma, else
// a semicolon when the record has one, else a comma.
char DetectSeparator(std::string_view firstRecord);

// Whether --columns names a column by its header name, which says that the
// file has a header.
bool NamesHeaderColumns(std::string_view columns);

// Fills the roles from the header's names, then applies `columns`
// ("lat=3,lon=4,h=5": a role and a column, by its number from 1 or its
// header name). False with a message for a column that is not there, or for
// two columns that both hold what the conversion reads.
bool MapColumns(const std::vector<Records::Field>& header, bool hasHeader, std::string_view columns, bool inverse,
                Layout& layout, std::string& error);

// The layout of a point file: p point, n northing, e easting, y latitude,
// x longitude, z elevation, d description ("pnezd", "pyxzd", ...). False for
// an unknown order.
bool PointLayout(std::string_view format, Layout& layout);

// What standard error says of the heights: which column they come from and
// what they are, and for elevations whether the geoid model `geoid` (empty:
// none) makes them heights above the ellipsoid; empty when there is no
// height column.
std::string HeightNote(const Layout& layout, const std::string& geoid);

}  // namespace Columns
