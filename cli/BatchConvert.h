// Converting a stream of points with the engine that the projection set-up
// left ready, each point as the window's convert commands do it: plain lists
// of co-ordinates, tables with a header, and point files, out as text or as
// GeoJSON.
#pragma once

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "core/ground/Geoid.h"
#include "core/ground/Surface.h"

namespace BatchConvert {

// Where a grid is meant to be used (degrees), and its name for a message.
struct Area {
    double west = 0, south = 0, east = 0, north = 0;
    std::string label;  // "EPSG:32140 (NAD83 / Texas South Central)"
};

struct Format {
    bool inverse = false;        // input easting northing, output latitude longitude
    bool csv = false;            // a plain list: comma-separated output, with a header
    bool dms = false;            // inverse: the window's angle text instead of decimal degrees
    double unitsPerMetre = 1.0;  // grid units in a metre (1 for metres)
    int precision = 3;           // decimals of easting and northing, or with dms of the seconds
    bool header = false;         // a line names the columns
    std::string columns{};       // "lat=3,lon=4,h=5": which column holds what
    std::string pointFormat{};   // a point file: "pnezd", "pyxzd", ...
    bool geojson = false;        // a GeoJSON FeatureCollection instead of text rows
    bool height = false;         // a height for every point...
    double heightValue = 0.0;    // ...this one, in the grid unit
    std::optional<Area> area{};  // warn of points outside it
    std::string datum{};         // what the latitudes and longitudes are on: "NAD83"
    bool nearWgs84 = true;       // that datum lies within a few metres of WGS 84
    Ground::GeoidSource geoid{};  // elevations through this geoid model...
    std::string geoidName{};      // ...named so: "EGM96"
    std::optional<Ground::Surface> surface{};  // surface co-ordinates beside the grid's, or in with inverse
    bool designPoints = false;    // each point and its height for a design (ProjectPoints), not text

    // Output that is made, not copied line by line from the input.
    bool Structured() const { return geojson || designPoints; }
};

// Writes all of `data` to `fd`, going on after short writes; false when
// writing fails (errno says why).
bool WriteAll(int fd, std::string_view data);

// Where the input comes from: up to `size` bytes into `buffer`, their count,
// 0 at the end, or -1 with errno set when reading fails.
using Source = std::function<long(char* buffer, std::size_t size)>;
// Where the output and the messages go: false when writing fails (errno).
using Writer = std::function<bool(std::string_view data)>;

// Reads records from `source` until its end and writes the result to
// `output`: one row for each (empty and "#" lines copied unchanged), or one
// GeoJSON feature. Reports each failed record on `messages` as
// "tarvane-convert: line N: reason". Memory stays the same whatever the
// length of the input. Shows a line count on `messages` now and then when
// `progress` is set.
// Result: 0 when every record converted, 1 when one failed or reading or
// writing failed, 2 when the input cannot be read as its format says (no
// columns to read, UTF-16 text).
int Convert(const Source& source, const Writer& output, const Writer& messages, const Format& format, bool progress);

// A source that reads a file descriptor, going on after interruptions.
Source ReadFrom(int fd);

// Convert, from and to file descriptors.
int Run(int in, int out, int err, const Format& format, bool progress);

}  // namespace BatchConvert
