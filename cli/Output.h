// What tarvane-convert writes: the result columns, in one table, and one
// writer per kind of output (plain lists, tables, point files, GeoJSON).
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "cli/BatchConvert.h"
#include "cli/Layout.h"
#include "cli/Records.h"
#include "core/convert/Conversion.h"

namespace Output {

// A result column: its name and what it holds.
enum class Result {
    Easting, Northing, Latitude, Longitude, ScaleFactor, Convergence, MeridianRadius, NormalRadius, Iterations,
    ElevationFactor, CombinedFactor, GeoidHeight, SurfaceEasting, SurfaceNorthing,
};
struct Column {
    Result result;
    const char* name;
};

// The results of a run, in their order: the grid values and beside them
// the surface values (or the angles of the inverse and the grid values of
// surface ones), the data at the point, the inverse's iterations, the
// geoid height, and the factors of a height.
std::vector<Column> ResultColumns(const BatchConvert::Format& format, bool heights);

// One point of a design's input as `DesignPoints` writes it, followed by
// the bytes of its name.
struct DesignPoint {
    long line;
    double latitude, longitude, height;  // degrees; grid unit
    std::size_t nameLength;              // a point file's point, or a table's first column that is no co-ordinate
};

// Names for the results that none of the input's columns has, in any case:
// "computed_easting" where the input has an "easting".
std::vector<std::string> ResultNames(const std::vector<Column>& columns, const std::vector<std::string>& inputNames);

// One result as text: with `format`'s decimals, the angles as the window's
// text with --dms, a factor of a point without a height empty.
void AppendResult(std::string& out, Result result, const Conversion::Point& point, const BatchConvert::Format& format);

// A text in a row; in comma- or semicolon-separated output quoted when it
// holds the separator, a quote or a line break.
void AppendText(std::string& out, std::string_view text, char separator);

// One record on its way out.
struct Row {
    const Records::Record& record;
    const std::vector<Records::Field>& fields;  // what of it could be read
    const Conversion::Point* point;             // its result, or none when it failed...
    const std::string& error;                   // ...for this reason
    bool decimalComma;                          // its numbers had a decimal comma
};

class Writer {
public:
    virtual ~Writer() = default;
    // The head of the output, before any row; `header` is the record that
    // names the columns, if any.
    virtual void Head(std::string& out, const Records::Record* header) = 0;
    // An empty line or a comment, copied unchanged.
    virtual void Copy(std::string& out, const Records::Record& record);
    virtual void Write(std::string& out, const Row& row) = 0;
    virtual void Tail(std::string& out);
    // Text that every output row of this writer begins with, which the
    // first row of all drops (GeoJSON's comma between features).
    virtual std::string_view Separator() const { return {}; }
};

// The writer for a run: a plain list (`table` false), a table, a point file,
// GeoJSON, or the points of a design (each converted point as the bytes of a
// DesignPoint), as `format` and `layout` say.
std::unique_ptr<Writer> MakeWriter(const BatchConvert::Format& format, const Columns::Layout& layout, bool table,
                                   bool heights);

}  // namespace Output
