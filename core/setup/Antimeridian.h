// Longitudes across the antimeridian, mended between the commands and the
// engine. The engine takes the difference from the central meridian as it
// comes, so on a cone whose central meridian lies near 180 degrees a point
// just across the antimeridian would be taken almost a full turn away.
// Radians, with the window's factor for a half turn.
#pragma once

namespace Antimeridian {

// A longitude more than 180 degrees from the central meridian of the cone set
// up last, brought within 180 degrees of it; any other comes back as it is,
// bit for bit.
double ToEngine(double lon);

// A longitude from the inverse, brought into -180...180 degrees; one within
// that range comes back as it is, bit for bit.
double FromEngine(double lon);

}  // namespace Antimeridian
