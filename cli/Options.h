// The options of tarvane-convert and the text of its help, in one place: the
// program reads its command line through them, and the manual page is made
// from them.
#pragma once

#include <CLI/CLI.hpp>

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "cli/BatchConvert.h"
#include "cli/BatchProjection.h"

namespace ConvertOptions {

// What the command line says, as it says it.
struct Options {
    std::int16_t zone = 0;
    std::string system, settings, epsg, input, precision, height, listWord;
    std::vector<std::string> parallels;
    BatchProjection::ConeOptions cone;
    BatchConvert::Format format;
    // Ground and grid: the geoid, surface co-ordinates, the design of a grid.
    std::string geoid, surfaceFactor, design, settingsOut, compareEpsg;
    std::vector<std::string> surfaceOrigin, surfaceAt;
    std::int16_t compare = 0;
    // The options whose presence decides what is done.
    CLI::Option *zoneOption = nullptr, *systemOption = nullptr, *datumOption = nullptr, *meridianOption = nullptr,
                *unitOption = nullptr, *settingsOption = nullptr, *epsgOption = nullptr, *listOption = nullptr,
                *parallelsOption = nullptr, *parallelOption = nullptr, *precisionOption = nullptr,
                *surfaceFactorOption = nullptr, *surfaceAtOption = nullptr, *surfaceOriginOption = nullptr,
                *designOption = nullptr, *compareOption = nullptr, *compareEpsgOption = nullptr;
};

// Every option, with its help, into `app`; their values go to `options`.
void Describe(CLI::App& app, Options& options);

// The help beyond the options, by topic: "Summary" (what the program does,
// in a sentence), "Usage" (how it is called), then the topics. Paragraphs
// are separated by an empty line; a line that begins with two blanks is an
// example, kept as it stands.
struct Section {
    std::string title;
    std::string text;
};
const std::string& HelpSection(std::string_view title);
// The topics, after the summary and the usage.
std::span<const Section> Sections();

}  // namespace ConvertOptions
