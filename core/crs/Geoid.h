// Geoid models from the grids PROJ reads, through its vertical grid shift:
// the EGM96 model that Debian's proj-data ships (egm96_15.gtx), or a
// vertical grid file the user names. PROJ reads the grid; nothing here does.
#pragma once

#include <stdexcept>
#include <string>

#include "core/ground/Geoid.h"

namespace Geoid {

class Error : public std::runtime_error {
public:
    explicit Error(const std::string& message) : std::runtime_error(message) {}
};

struct Model {
    std::string name;           // "EGM96", or the grid file's name
    Ground::GeoidSource open;   // one more instance, for one more thread
};

// The names of the models known by name, for messages: "egm96".
std::string KnownNames();

// A model by its name ("egm96", in any case) or a grid file (a path, or a
// name ending in .gtx, .tif or .tiff). Throws Error for a name that is
// neither, or a grid PROJ cannot open.
Model Open(const std::string& model);

}  // namespace Geoid
