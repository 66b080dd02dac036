// A grid of the registry as the window's parameter fields hold it: the
// window knows three datums and two units, so only some grids fit.
#pragma once

#include <string>

#include "core/crs/Registry.h"
#include "core/setup/ProjectionSetup.h"

namespace Epsg {

// The fields as if the user had typed the grid: its datum and unit, one or
// two parallels, angles in the window's angle text and numbers as plain text.
// False, with the reason in the user's terms, when the grid's ellipsoid is
// none of the window's datums or its unit neither of the window's units.
bool WindowFields(const Grid& grid, char decimalSeparator, ProjectionSetup::ParameterFields& fields,
                  std::string& reason);

}  // namespace Epsg
