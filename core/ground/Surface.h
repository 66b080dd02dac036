// Surface (ground) co-ordinates: grid co-ordinates scaled about an origin by
// a surface adjustment factor, the ratio of ground to grid distance that a
// county or a project publishes, so that distances between surface
// co-ordinates are ground distances.
#pragma once

#include <string>

namespace Ground {

// Decimals of a surface factor taken from a combined factor, as the
// factors are printed.
inline constexpr int kSurfaceDecimals = 9;

struct Surface {
    double factor = 1.0;  // ground over grid
    double originEasting = 0.0, originNorthing = 0.0;  // grid unit; the same in both

    // surface = origin + (grid - origin) * factor
    void FromGrid(double easting, double northing, double& surfaceEasting, double& surfaceNorthing) const;
    void ToGrid(double surfaceEasting, double surfaceNorthing, double& easting, double& northing) const;
};

// Why a number cannot be a surface factor, in the user's terms; empty when
// it can.
std::string SurfaceFactorFault(double factor);

// The surface factor at a point of the grid set up last: the reciprocal of
// the combined factor at that latitude and longitude (degrees) and height
// above the ellipsoid (grid unit), rounded to kSurfaceDecimals decimals.
// False for a height at or below the centre of the earth. Throws
// Tarvane_Module::ArithmeticError where the grid has no value.
bool SurfaceFactorAt(double latitude, double longitude, double height, double unitsPerMetre, double& factor,
                     double& combinedFactor);

}  // namespace Ground
