// A grid of ours as GIS and CAD programs take it: a PROJ string and a WKT2
// definition, made by PROJ from the grid's parameters.
#pragma once

#include <string>

#include "core/crs/Registry.h"
#include "core/setup/ProjectionSetup.h"

namespace Epsg {

struct CrsText {
    std::string projString;  // "+proj=lcc +lat_1=... +type=crs"
    std::string wkt2;        // WKT2:2019, on several lines
};

// The projected CRS of these parameters on the geographic CRS of their
// datum (EPSG:4326 WGS 84, 4269 NAD83, 4267 NAD27), named `name`. Throws
// Error when PROJ cannot make it, or for a grid on an ellipsoid of its own.
CrsText DefinitionOf(const ProjectionSetup::ProjectionParameters& parameters, const std::string& name);

}  // namespace Epsg
