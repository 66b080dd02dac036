#include "core/convert/Conversion.h"

#include <cmath>

#include "core/setup/Antimeridian.h"
#include "core/setup/Units.h"
#include "engine/Tarvane_Module.h"

namespace Conversion {

using namespace Tarvane_Module;

Point Forward(double latitudeDegrees, double longitudeDegrees, double unitsPerMetre) {
    Point p;
    p.latitude = latitudeDegrees;
    p.longitude = longitudeDegrees;
    p.latitudeRadians = latitudeDegrees * kDegToRad;
    p.longitudeRadians = Antimeridian::ToEngine(longitudeDegrees * kDegToRad);
    GeoToGrid(p.latitudeRadians, p.longitudeRadians, p.easting, p.northing);
    // Times 1 leaves metres as they are.
    p.northing = p.northing * unitsPerMetre;
    p.easting = p.easting * unitsPerMetre;
    return p;
}

Point Inverse(double easting, double northing, double unitsPerMetre) {
    Point p;
    p.easting = easting;
    p.northing = northing;
    GridToGeo(easting / unitsPerMetre, northing / unitsPerMetre, p.latitudeRadians, p.longitudeRadians,
              p.iterations);
    p.latitude = p.latitudeRadians * kRadToDeg;
    p.longitude = Antimeridian::FromEngine(p.longitudeRadians) * kRadToDeg;
    return p;
}

void AddPointData(Point& p) {
    p.scaleFactor = PointScaleFactor(p.latitudeRadians);
    p.meridianRadius = MeridianRadius(p.latitudeRadians);
    p.normalRadius = PrimeVerticalRadius(p.latitudeRadians);
    p.convergence = GridConvergence(p.longitudeRadians) * kRadToDeg;
}

bool AddHeight(Point& p, double height, double unitsPerMetre) {
    // The geometric mean radius: the earth's radius in every direction at
    // the point, on average, to within a few parts in a million.
    const double R = std::sqrt(p.meridianRadius * p.normalRadius);
    const double h = height / unitsPerMetre;
    if (!(R + h > 0.0) || !std::isfinite(h)) return false;
    p.hasHeight = true;
    p.height = height;
    p.elevationFactor = R / (R + h);
    p.combinedFactor = p.scaleFactor * p.elevationFactor;
    return true;
}

}  // namespace Conversion
