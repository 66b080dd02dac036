// The registry's grids without PROJ: written once, at build time, into a file
// of text lines, and read back where PROJ cannot go (the web page). A grid
// read back is the grid that was written, every number to the last bit.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "core/crs/Registry.h"

namespace Epsg {

// One grid as one line of tab-separated fields, ending in LF.
std::string GridLine(const Grid& grid);

// Every grid of `text` (lines of GridLine), in order; false, with the line
// number and what is wrong, for a line that is not one.
bool ReadGridLines(std::string_view text, std::vector<Grid>& grids, std::string& error);

}  // namespace Epsg
