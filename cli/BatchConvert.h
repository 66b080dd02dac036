// Converting a stream of points with the engine that the projection set-up
// left ready, each point exactly as the window's convert commands do it.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace BatchConvert {

struct Format {
    bool inverse = false;  // input easting northing, output latitude longitude
    bool csv = false;      // comma-separated, with a header
    bool dms = false;      // inverse: the window's angle text instead of decimal degrees
    double unitsPerMetre = 1.0;  // grid units in a metre (1 for metres)
    int precision = 3;     // decimals of easting and northing
};

// Grid values in the grid unit, convergence in degrees, radii in metres.
struct GridPoint {
    double easting, northing, scaleFactor, convergence, meridianRadius, normalRadius;
};
struct GeoPoint {
    double latitude, longitude;  // degrees
    double scaleFactor, convergence, meridianRadius, normalRadius;
    std::int16_t iterations;
};

// One point in each direction, with the window's unit factors and in the
// window's order of engine calls. Throw Tarvane_Module::ArithmeticError.
GridPoint Forward(double latitudeDegrees, double longitudeDegrees, double unitsPerMetre);
GeoPoint Inverse(double easting, double northing, double unitsPerMetre);

// The column names of --csv, without a line end.
std::string Header(const Format& format);

// Converts one data line (no line end, neither empty nor a comment) and
// appends its row, without a line end, to `out`. On a fault the row keeps the
// input and marks the error, and the result is false with the reason.
bool ConvertLine(std::string_view line, const Format& format, std::string& out, std::string& error);

// Reads lines from `in` until its end and writes one line to `out` for each:
// converted rows, and empty and "#" lines unchanged. Reports each failed
// line on `err` as "tarvane-convert: line N: reason". Memory stays the same
// whatever the length of the input. Shows a line count on `err` now and then
// when `progress` is set. Result: 0 when every line converted, else 1.
int Run(int in, int out, int err, const Format& format, bool progress);

}  // namespace BatchConvert
