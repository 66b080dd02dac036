// The projection of a batch run, set up the way the window sets it up: every
// source (a State Plane zone, a cone typed as options, a settings file) is
// first turned into the texts the window's parameter fields would hold, and
// then the window's own initialize command reads them.
#pragma once

#include <cstdint>
#include <string>

#include "core/settings/Settings.h"
#include "core/setup/ProjectionSetup.h"

namespace BatchProjection {

// The zones of the table, by their four-digit numbers.
bool IsKnownZone(std::int16_t zoneNumber);
// Their numbers for a message: "903, 1701, ...".
std::string ZoneNumbers();

// What the window's fields hold after the user picks this zone of the 1927
// (true) or 1983 system: angles from the table through the window's angle
// text with 3 decimals, false values as plain numbers in the system's unit.
ProjectionSetup::ParameterFields ZoneFields(bool is1927, std::int16_t zoneNumber);

// A user-defined cone as typed on the command line. Angles are read
// strictly; empty strings are options that were not given.
struct ConeOptions {
    std::string datum;                      // "WGS84", "NAD83" or "NAD27"
    std::string unit = "meter";             // "meter" or "USFeet"
    std::string parallel1, parallel2;       // --parallels
    std::string origin;                     // --origin
    std::string parallel, scale;            // --parallel, --scale
    std::string meridian;                   // --meridian
    std::string falseNorthing = "0", falseEasting = "0";
};

// Checks the options and renders them into the window's field texts: angles
// as degree-minute-second text that the window reads back to the same value
// (the seconds digits as typed; decimal degrees to 0.000001 seconds), numbers
// as typed. False with a message when an option is missing or bad.
bool ConeFields(const ConeOptions& options, ProjectionSetup::ParameterFields& fields, std::string& error);

// The fields as the window holds them after starting with these stored
// values: the stored texts, the stored datum, unit and number of parallels.
ProjectionSetup::ParameterFields SettingsFields(const TarvaneSettings& settings);

// Runs the window's initialize command on the fields, strictly: a message
// that the window's angle reader would show, a bad scale factor or a failing
// engine step is an error (false, with the message) instead of a default.
bool Setup(const ProjectionSetup::ParameterFields& fields, std::string& error);

}  // namespace BatchProjection
