// tarvane-convert --design: a low-distortion grid for the points of a
// project, reported beside a grid the user names, and written as a
// TARVANE.ini, a PROJ string and a WKT2 definition.
#pragma once

#include <string>

#include "cli/Options.h"
#include "core/setup/ProjectionSetup.h"

namespace DesignProgram {

// A grid named on the command line, and the window's datum and unit for it
// where the window's fields can hold it.
struct NamedGrid {
    bool given = false;
    ProjectionSetup::ProjectionParameters parameters;
    bool fitsWindow = false;
    Datum datum = Datum::NAD83;
    GridUnit unit = GridUnit::Metre;
    std::string label, name;  // "EPSG:2278", "NAD83 / Texas South Central (ftUS)"
};

// The design run over the points of --design, read through `input` (the
// grid of their co-ordinates) where one is given. Exit status: 0 designed
// from every point; 1 a point failed, too few points, or the report or the
// settings file could not be written; 2 bad options or an input that
// cannot be read.
int Run(ConvertOptions::Options& options, const NamedGrid& input);

}  // namespace DesignProgram
