#pragma once

#include "cli/Options.h"

#include <CLI/CLI.hpp>
#include <string>

namespace tryzone
{

class Output;
class OutputFiles;

// A match shown rather than counted: an MP4 video or a web page, of a recording or of a seeded run's match.
struct ShowOptions
{
    std::string video;
    std::string html;
    std::string from;
    std::string to;
    bool debug = false;
    int speed = 1;
    int match = 1;
    Output* videoOutput = nullptr;
    Output* htmlOutput = nullptr;
};

void AddShowOptions(CLI::App& app, ShowOptions& show);
[[nodiscard]] inline bool Showing(const ShowOptions& show)
{
    return !show.video.empty() || !show.html.empty();
}
// Adds --video and --html to the outputs.
void AddShowOutputs(ShowOptions& show, OutputFiles& files);

// Plays the match (the recording at replay, or match show.match of the run's seed) and writes the outputs asked for.
[[nodiscard]] int ShowCommand(const Options& options, const ShowOptions& show, const std::string& replay,
                              OutputFiles& files);

} // namespace tryzone
