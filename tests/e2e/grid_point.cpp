// Prints the NAD27 Texas South Central grid position (northing and easting in
// US survey feet) of a latitude and longitude, computed with GeographicLib
// alone, so that the window's grid-to-geographic result can be checked
// against a source that shares no code with it.
//
// Usage: e2e_grid_point DEG MIN SEC N|S DEG MIN SEC E|W
// Output: "NORTHING EASTING K M N": the grid position, the point scale factor,
// and the radii of curvature in the meridian and the prime vertical (metres).
#include <GeographicLib/Ellipsoid.hpp>
#include <GeographicLib/LambertConformalConic.hpp>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

double degrees(const char* d, const char* m, const char* s, const std::string& hemisphere) {
    const double value = std::atof(d) + std::atof(m) / 60.0 + std::atof(s) / 3600.0;
    return hemisphere == "S" || hemisphere == "W" ? -value : value;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 9) {
        std::fprintf(stderr, "usage: %s DEG MIN SEC N|S DEG MIN SEC E|W\n", argv[0]);
        return 2;
    }
    const double lat = degrees(argv[1], argv[2], argv[3], argv[4]);
    const double lon = degrees(argv[5], argv[6], argv[7], argv[8]);

    // Zone 4204 on NAD27: Clarke 1866 (a = 6378206.4 m, b = 6356583.8 m),
    // standard parallels 28°23' and 30°17' N, origin 27°50' N, 99° W,
    // false easting 2000000 US ft, false northing 0.
    const double a = 6378206.4, b = 6356583.8;
    const double lat1 = 28 + 23 / 60.0, lat2 = 30 + 17 / 60.0;
    const double latOrigin = 27 + 50 / 60.0, lon0 = -99.0;
    const double feetPerMetre = 3937.0 / 1200.0;  // US survey foot
    const GeographicLib::LambertConformalConic cone(a, (a - b) / a, lat1, lat2, 1.0);

    // The class measures northings from its own central parallel; shift them
    // to the zone's origin.
    double x = 0, y = 0, y0 = 0, gamma = 0, k = 0, unused = 0;
    cone.Forward(lon0, latOrigin, lon0, unused, y0);
    cone.Forward(lon0, lat, lon, x, y, gamma, k);
    const GeographicLib::Ellipsoid ellipsoid(a, (a - b) / a);
    std::printf("%.3f %.3f %.10f %.3f %.3f\n", (y - y0) * feetPerMetre, x * feetPerMetre + 2000000.0, k,
                ellipsoid.MeridionalCurvatureRadius(lat), ellipsoid.TransverseCurvatureRadius(lat));
    return 0;
}
