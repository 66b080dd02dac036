// Converting a stream of points with the engine that the projection set-up
// left ready, each point exactly as the window's convert commands do it:
// plain lists of co-ordinates, tables with a header, and point files, out as
// text or as GeoJSON.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace BatchConvert {

struct Format {
    bool inverse = false;        // input easting northing, output latitude longitude
    bool csv = false;            // a plain list: comma-separated output, with a header
    bool dms = false;            // inverse: the window's angle text instead of decimal degrees
    double unitsPerMetre = 1.0;  // grid units in a metre (1 for metres)
    int precision = 3;           // decimals of easting and northing
    bool header = false;         // the first line names the columns
    std::string columns{};       // "lat=3,lon=4,h=5": which column holds what
    std::string pointFormat{};   // a point file: "pnezd", "pyxzd", ...
    bool geojson = false;        // a GeoJSON FeatureCollection instead of text rows
    bool height = false;         // a height for every point...
    double heightValue = 0.0;    // ...this one, in the grid unit
};

// One converted point: grid values in the grid unit, angles in degrees,
// radii in metres.
struct Point {
    double latitude = 0, longitude = 0, easting = 0, northing = 0;
    double scaleFactor = 0, convergence = 0, meridianRadius = 0, normalRadius = 0;
    std::int16_t iterations = 0;                           // inverse only
    bool hasHeight = false;
    double elevationFactor = 0, combinedFactor = 0;        // with a height
};

// One point each way, with the window's unit factors and in the window's
// order of engine calls. Throw Tarvane_Module::ArithmeticError.
Point Forward(double latitudeDegrees, double longitudeDegrees, double unitsPerMetre);
Point Inverse(double easting, double northing, double unitsPerMetre);

// The ground-to-grid factors at a height above the ellipsoid (grid unit):
// elevation factor R / (R + h) with R = sqrt(M N), and that times the scale
// factor. False, with the point unchanged, for a height at or below the
// centre of the earth, where there is no such factor.
bool AddHeight(Point& point, double height, double unitsPerMetre);

// Writes all of `data` to `fd`, going on after short writes; false when
// writing fails (errno says why).
bool WriteAll(int fd, std::string_view data);

// The column names of a plain list with --csv, without a line end.
std::string Header(const Format& format);

// Converts one line of a plain list (no line end, neither empty nor a
// comment) and appends its row, without a line end, to `out`. On a fault the
// row keeps the input and marks the error, and the result is false with the
// reason.
bool ConvertLine(std::string_view line, const Format& format, std::string& out, std::string& error);

// Reads records from `in` until its end and writes the result to `out`: one
// row for each (empty and "#" lines of a plain list copied unchanged), or one
// GeoJSON feature. Reports each failed record on `err` as "tarvane-convert:
// line N: reason". Memory stays the same whatever the length of the input.
// Shows a line count on `err` now and then when `progress` is set.
// Result: 0 when every record converted, 1 when one failed or reading or
// writing failed, 2 when the columns of a table cannot be found.
int Run(int in, int out, int err, const Format& format, bool progress);

}  // namespace BatchConvert
