// The command line of tarvane-convert: options, projection, the run.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "cli/BatchConvert.h"
#include "cli/BatchProjection.h"

namespace ConvertProgram {

struct Options {
    bool help = false, version = false;
    std::int16_t zone = 0;          // --zone, 0 when not given
    std::string system;             // --system
    bool fromSettings = false;      // --settings given
    std::string settingsPath;
    bool cone = false;              // some option of a user-defined cone was given
    BatchProjection::ConeOptions coneOptions;
    BatchConvert::Format format;    // usFeet follows from the projection
    std::string input;              // empty or "-" for standard input
};

// False with a message for an unknown, repeated, missing or bad option.
bool ParseOptions(const std::vector<std::string>& args, Options& options, std::string& error);

// The window's field texts for the chosen projection; false with a message
// (for example when the settings file cannot be read).
bool ProjectionFields(const Options& options, ProjectionSetup::ParameterFields& fields, std::string& error);

std::string UsageText();
std::string HelpText();

// The whole program: exit status 0 when every line converted, 1 when a line
// (or reading or writing) failed, 2 for bad options or a projection that
// cannot be set up.
int Main(int argc, char** argv);

}  // namespace ConvertProgram
