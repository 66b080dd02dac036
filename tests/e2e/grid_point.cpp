// GeographicLib's own figures for zone 4204 of 1927 (Clarke 1866, parallels
// 28°23' and 30°17' N, origin 27°50' N 99° W, false easting 2000000 US ft), to
// check the window against a source that shares no code with it.
// Usage: e2e_grid_point DEG MIN SEC N|S DEG MIN SEC E|W
// Output: NORTHING EASTING (US ft), scale factor, radii in the meridian and
// the prime vertical (m).
#include <GeographicLib/Ellipsoid.hpp>
#include <GeographicLib/LambertConformalConic.hpp>

#include <cstdio>
#include <cstdlib>
#include <string>

int main(int argc, char** argv) {
    if (argc != 9) return std::fprintf(stderr, "usage: %s DEG MIN SEC N|S DEG MIN SEC E|W\n", argv[0]), 2;
    const auto degrees = [&](int k) {
        const double v = std::atof(argv[k]) + std::atof(argv[k + 1]) / 60.0 + std::atof(argv[k + 2]) / 3600.0;
        return std::string("SW").find(argv[k + 3][0]) != std::string::npos ? -v : v;
    };
    const double lat = degrees(1), lon = degrees(5), a = 6378206.4, f = (a - 6356583.8) / a, lon0 = -99.0;
    const double feetPerMetre = 3937.0 / 1200.0;  // the US survey foot
    const GeographicLib::LambertConformalConic cone(a, f, 28 + 23 / 60.0, 30 + 17 / 60.0, 1.0);
    // The class counts northings from its own central parallel: shift them to the origin.
    double x = 0, y = 0, y0 = 0, gamma = 0, k = 0, unused = 0;
    cone.Forward(lon0, 27 + 50 / 60.0, lon0, unused, y0);
    cone.Forward(lon0, lat, lon, x, y, gamma, k);
    const GeographicLib::Ellipsoid ellipsoid(a, f);
    std::printf("%.3f %.3f %.10f %.3f %.3f\n", (y - y0) * feetPerMetre, x * feetPerMetre + 2000000.0, k,
                ellipsoid.MeridionalCurvatureRadius(lat), ellipsoid.TransverseCurvatureRadius(lat));
}
