// A low-distortion grid designed for a project: a Lambert cone of one
// standard parallel whose combined factor (the grid's scale times the
// elevation factor) stays closest to 1 over the project's points, so that
// grid distances are ground distances within a few parts in a million.
#pragma once

#include <cstddef>
#include <stdexcept>
#include <string>
#include <vector>

#include "core/setup/ProjectionSetup.h"
#include "engine/Tarvane_Module.h"

namespace Ground {

struct ProjectPoint {
    double latitude = 0, longitude = 0;  // degrees
    double height = 0;                   // above the ellipsoid, metres
    long line = 0;                       // where it stands in its file
    std::string name;                    // its point number or name, if it has one
};

// A grid at each point: its co-ordinates (grid unit), its combined factor,
// and that less 1 in parts per million.
struct PointDistortion {
    double easting = 0, northing = 0, combinedFactor = 0, ppm = 0;
};

struct Distortion {
    std::vector<PointDistortion> points;
    double unitsPerMetre = 1.0;                       // of the co-ordinates
    double smallest = 0, largest = 0, mean = 0;       // ppm
    double within10 = 0, within20 = 0, within50 = 0;  // shares of the points within so many ppm, 0 to 1
    double LargestAbs() const;
};

class DesignError : public std::runtime_error {
public:
    explicit DesignError(const std::string& message) : std::runtime_error(message) {}
};

// A grid for fewer points has no extent to fit.
inline constexpr std::size_t kFewestPoints = 2;

// Sets the grid up and measures it at every point; the engine stays set up
// with it. Throws Tarvane_Module::ArithmeticError (or
// ProjectionSetup::ScaleFactorError) where the grid cannot be set up or has
// no value at a point.
Distortion Measure(const std::vector<ProjectPoint>& points, const ProjectionSetup::ProjectionParameters& grid);

struct DesignChoices {
    Datum datum = Datum::NAD83;
    GridUnit unit = GridUnit::Metre;
    char decimalSeparator = '.';   // of the field texts
    const Distortion* other = nullptr;  // another grid at the points, whose values the design's must not resemble
};

struct Design {
    ProjectionSetup::ParameterFields fields;          // as the window's User Defined fields hold it
    ProjectionSetup::ProjectionParameters parameters; // as the window reads those fields
    double middleLatitude = 0, middleLongitude = 0;   // of the points, degrees
};

// The grid for the points: the latitude of origin the whole minute that
// gives the least largest distortion, the central meridian the whole minute
// nearest the middle of the points, k0 to six decimals, and false values,
// multiples of 10 000 grid units, that keep every co-ordinate positive and
// at least 100 km from the other grid's on the same axis. The engine stays
// set up with it. Throws DesignError for too few points, or where no cone
// fits them.
Design Propose(const std::vector<ProjectPoint>& points, const DesignChoices& choices);

// Keeps the engine's set-up: the one it found is back when this goes.
class KeepEngine {
public:
    KeepEngine() : saved_(Tarvane_Module::State) {}
    ~KeepEngine() { Tarvane_Module::RestoreState(saved_); }
    KeepEngine(const KeepEngine&) = delete;
    KeepEngine& operator=(const KeepEngine&) = delete;

private:
    Tarvane_Module::EngineState saved_;
};

// The design's parameters, and its distortion beside another grid's, headed
// `otherLabel` (short) and named in full by `otherName`.
std::string Summary(const Design& design, const Distortion& distortion, const Distortion* other = nullptr,
                    const std::string& otherLabel = {}, const std::string& otherName = {});

}  // namespace Ground
