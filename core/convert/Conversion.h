// The convert step that every face shares: one point each way with the
// engine that the last set-up left ready, the window's unit factors and its
// order of engine calls, longitudes across the antimeridian, and the data at
// the point.
#pragma once

#include <cstdint>

namespace Conversion {

// One converted point: angles in degrees, grid values in the grid unit,
// radii in metres.
struct Point {
    double latitude = 0, longitude = 0, easting = 0, northing = 0;
    double latitudeRadians = 0, longitudeRadians = 0;  // as the engine took or gave them
    std::int16_t iterations = 0;                       // the inverse's passes
    // The data at the point (AddPointData).
    double scaleFactor = 0, convergence = 0, meridianRadius = 0, normalRadius = 0;
    // The ground-to-grid factors (AddHeight).
    bool hasHeight = false;
    double height = 0;  // above the ellipsoid, grid unit
    double elevationFactor = 0, combinedFactor = 0;
    // The geoid height N (grid unit), where a geoid model gives one.
    bool hasGeoid = false;
    double geoidHeight = 0;
    // Surface co-ordinates (grid unit), where a surface factor is given.
    bool hasSurface = false;
    double surfaceEasting = 0, surfaceNorthing = 0;
};

// Latitude and longitude (degrees) to easting and northing in the grid unit
// (`unitsPerMetre` grid units make a metre). Throws
// Tarvane_Module::ArithmeticError.
Point Forward(double latitudeDegrees, double longitudeDegrees, double unitsPerMetre);

// Easting and northing in the grid unit to latitude and longitude, with the
// iteration count. Throws Tarvane_Module::ArithmeticError.
Point Inverse(double easting, double northing, double unitsPerMetre);

// The point scale factor, both radii of curvature and the grid convergence
// (degrees, positive east of the central meridian on a northern cone) at
// the point. Throws Tarvane_Module::ArithmeticError.
void AddPointData(Point& point);

// The ground-to-grid factors at a height above the ellipsoid (grid unit):
// the elevation factor R / (R + h) with R = sqrt(M N), and that times the
// scale factor. Needs AddPointData first. False, with the point unchanged,
// for a height at or below the centre of the earth, where there is no such
// factor.
bool AddHeight(Point& point, double height, double unitsPerMetre);

}  // namespace Conversion
