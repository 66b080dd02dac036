// The options of tarvane-convert and the text of its help, in one place: the
// program reads its command line through them, and the manual page is made
// from them.
#pragma once

#include <CLI/CLI.hpp>

#include <cstdint>
#include <span>
#include <string>
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
    // The options whose presence decides what is done.
    CLI::Option *zoneOption = nullptr, *datumOption = nullptr, *settingsOption = nullptr, *epsgOption = nullptr,
                *listOption = nullptr, *parallelsOption = nullptr, *parallelOption = nullptr,
                *precisionOption = nullptr;
};

// Every option, with its help, into `app`; their values go to `options`.
void Describe(CLI::App& app, Options& options);

// What the program does, in a sentence, and how it is called.
extern const char* const kSummary;
extern const char* const kUsage;

// The help beyond the options, by topic. Paragraphs are separated by an
// empty line; a line that begins with two blanks is an example, kept as it
// stands.
struct Section {
    const char* title;
    const char* text;
};
std::span<const Section> Sections();

}  // namespace ConvertOptions
