// The points of a project with their heights, for the design of a grid, read
// as tarvane-convert reads any input: a table with a header, a point file, a
// plain list with --height; elevations through a geoid model where one is
// given.
#pragma once

#include <string>
#include <vector>

#include "cli/BatchConvert.h"
#include "core/ground/Design.h"
#include "core/setup/ProjectionSetup.h"

namespace ProjectPoints {

// Sets the engine up to read points with: `grid` where there is one (the
// grid of their co-ordinates, or one to compare with), else a cone on
// `datum` on which every point but a pole converts. Throws as
// ProjectionSetup::Setup does.
void SetUpToRead(const ProjectionSetup::ProjectionParameters* grid, Datum datum);

// Every point of `source` that converts through the projection set up
// (forward, or with `format.inverse` from grid co-ordinates), with its height
// above the ellipsoid in metres; the messages as tarvane-convert writes them,
// one a line. Result: BatchConvert::Convert's status (1 when a point failed).
int Read(const BatchConvert::Source& source, BatchConvert::Format format, std::vector<Ground::ProjectPoint>& points,
         std::string& messages);

// The same from a file ("-": standard input); 2, with the reason in
// `messages`, when it cannot be opened.
int ReadFile(const std::string& path, const BatchConvert::Format& format, std::vector<Ground::ProjectPoint>& points,
             std::string& messages);

}  // namespace ProjectPoints
