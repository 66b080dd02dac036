// The Lambert conformal conic grids of the EPSG registry, read through PROJ's
// database (proj.db). PROJ is the source of each grid's parameters; the
// arithmetic stays the engine's.
#pragma once

#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "core/setup/ProjectionSetup.h"

namespace Epsg {

// Why the registry or a code cannot be read, in the user's terms.
class Error : public std::runtime_error {
public:
    explicit Error(const std::string& message) : std::runtime_error(message) {}
};

// A grid of the method Lambert Conic Conformal (1SP) or (2SP).
struct Grid {
    int code = 0;
    std::string name;           // "NAD27 / Texas South Central"
    std::string unitName;       // the grid unit as the registry names it: "US survey foot"
    int unitCode = 0;           // its EPSG code: 9001 metre, 9002 foot, 9003 US survey foot, ...
    std::string ellipsoidName;  // "Clarke 1866"
    int ellipsoidCode = 0;      // 7030 WGS 84, 7019 GRS 1980, 7008 Clarke 1866, ...
    std::string geographicName; // the geographic CRS of its latitudes and longitudes: "NAD27"
    // Where the grid is meant to be used, in degrees (west > east where the
    // area crosses the antimeridian); all 0 when the registry gives none.
    double west = 0, south = 0, east = 0, north = 0;
    // The parameters in degrees from Greenwich and in the grid unit, on the
    // grid's own ellipsoid (no datum name).
    ProjectionSetup::ProjectionParameters parameters;
};

class Registry {
public:
    // Opens PROJ's database. Throws Error when it is missing or unreadable,
    // or when PROJ is too old.
    Registry();
    ~Registry();
    Registry(const Registry&) = delete;
    Registry& operator=(const Registry&) = delete;

    // The grid of a code ("32040" or "EPSG:32040"). Throws Error for a code
    // that is not in the registry, that is deprecated, or that is not a
    // projected CRS of one of the two methods.
    Grid Read(std::string_view code) const;

    // Every grid that Read takes, by code.
    std::vector<Grid> List() const;

private:
    struct Context;
    std::unique_ptr<Context> context_;
};

// The text a search looks in: the code and the name, in small letters.
std::string SearchText(const Grid& grid);

// Whether every blank-separated word of the query, in any case, is part of
// the search text; an empty query matches every grid.
bool Matches(std::string_view searchText, std::string_view query);

}  // namespace Epsg
