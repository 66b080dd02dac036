// The columns of a survey file: RFC 4180 fields, the header that names them,
// and the fixed orders of point files.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace BatchInput {

struct Field {
    std::string_view raw;    // as it stands in the record, quotes and all
    std::string_view value;  // without its quotes, "" read as "
};

// Splits a record at `delimiter` into its fields, RFC 4180 style: a field
// that begins with a quote runs to the quote that closes it. False with the
// reason for a quote left open, or text after a closing quote. The values
// stay valid until the next call.
class FieldSplitter {
public:
    bool Split(std::string_view record, char delimiter, std::string& error);
    const std::vector<Field>& fields() const { return fields_; }

private:
    std::vector<Field> fields_;
    std::string unquoted_;
};

// What a column holds, for the conversion.
enum class Role { Latitude, Longitude, Northing, Easting, Height, Point, Description, Other };

// Where the columns are: an index from 0 for each role that a conversion
// reads, -1 when there is none.
struct Layout {
    char delimiter = ',';
    bool header = false;              // the first record names the columns
    std::vector<std::string> names;   // the header's names, or names for a file without one
    int latitude = -1, longitude = -1, northing = -1, easting = -1, height = -1;
    std::string pointFormat;          // "pnezd" and the like for a point file, empty otherwise
    std::size_t fieldCount = 0;       // a point file's fields; 0: any count
};

// The role a header name gives its column: lat, latitude, phi; lon, long,
// longitude, lambda; n, north, northing, y; e, east, easting, x; h, height,
// ellipsoid_height, elevation, z; in any case.
Role RoleOfName(std::string_view name);

// Whether the fields of a first record look like a header: every one a word,
// and one a known column name.
bool LooksLikeHeader(const std::vector<Field>& fields);

// The separator of a table, from its first record: a tab, else a comma, else
// a semicolon when the record has one, else a comma.
char DetectDelimiter(std::string_view firstRecord);

// Fills the roles from the header's names, then applies `columns`
// ("lat=3,lon=4,h=5": a role and a column, by its number from 1 or its
// header name). False with a message for a column that is not there.
bool MapColumns(const std::vector<Field>& header, bool hasHeader, std::string_view columns, Layout& layout,
                std::string& error);

// The layout of a point file: p point, n northing, e easting, y latitude,
// x longitude, z elevation, d description ("pnezd", "pyxzd", ...). False for
// an unknown order.
bool PointLayout(std::string_view format, Layout& layout);

}  // namespace BatchInput
