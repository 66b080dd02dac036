// The projection of a batch run, as numbers: a State Plane zone and a stored
// settings file are read as the window reads its fields; a cone typed as
// options is read strictly, straight into numbers.
#pragma once

#include <cstdint>
#include <string>

#include "cli/BatchConvert.h"
#include "core/crs/Registry.h"
#include "core/settings/Settings.h"
#include "core/setup/ProjectionSetup.h"

namespace BatchProjection {

using ProjectionSetup::ProjectionParameters;

// A user-defined cone as typed on the command line; empty strings are
// options that were not given.
struct ConeOptions {
    std::string datum;                 // "WGS84", "NAD83" or "NAD27"
    std::string unit = "meter";        // "meter" or "USFeet"
    std::string parallel1, parallel2;  // --parallels
    std::string origin;                // --origin
    std::string parallel, scale;       // --parallel, --scale
    std::string meridian;              // --meridian
    std::string falseNorthing = "0", falseEasting = "0";
};

// What the window sets up after the user picks this zone of the 1927 (true)
// or 1983 system, read from the same field texts the window shows.
bool ZoneParameters(bool is1927, std::int16_t zoneNumber, ProjectionParameters& parameters, std::string& error);

// What the window sets up after starting with these stored values. A text
// that the window would correct with a message is an error here.
bool SettingsParameters(const TarvaneSettings& settings, ProjectionParameters& parameters, std::string& error);

// The options read strictly: decimal degrees as the number they are, degrees
// minutes and seconds to the very value the window reads from the same text.
bool ConeParameters(const ConeOptions& options, ProjectionParameters& parameters, std::string& error);

// What a run reports against: where the grid is meant to be used, and the
// datum its latitudes and longitudes are on.
void DescribeGrid(const Epsg::Grid& grid, BatchConvert::Format& format);
// The same for a State Plane zone's grid, keeping the datum named as the zone names it.
void DescribeZoneGrid(const Epsg::Grid& grid, BatchConvert::Format& format);
// The datum as a State Plane zone or the window's datum list names it.
void DescribeDatum(Datum datum, BatchConvert::Format& format);

// The EPSG code of a State Plane zone's grid, or 0 for no such zone; and of
// the zone a settings file stores (by its place in the window's list), or 0.
int ZoneGridCode(bool is1927, std::int16_t zoneNumber);
int StoredZoneGridCode(const TarvaneSettings& settings);

// Sets the engine up; false with the reason when it cannot be.
bool Setup(const ProjectionParameters& parameters, std::string& error);

}  // namespace BatchProjection
