#pragma once

#include "shards/Shards.h"
#include "experiments/Sweep.h"

#include <CLI/CLI.hpp>
#include <optional>
#include <string>
#include <vector>

namespace tryzone
{

// The options that spread a run over cores and machines and sweep a value, and the merge subcommand.
struct ScaleOptions
{
    int jobs = 1;
    std::string vary;
    std::string who = "blue";
    std::optional<Variation> variation; // --vary and --who, checked
    std::string csvFile;
    std::string plotFile;
    std::optional<Shard> shard;

    CLI::App* merge = nullptr; // the subcommand; parsed when it ran
    std::vector<std::string> parts;
    std::string mergeJson;
    std::string mergeCsv;
    std::string mergePlot;
    std::string mergeHeatmap;
    bool anyBuild = false;
    bool replayAll = false; // every match of every part played again, not one per part
};

// Adds the options and the subcommand to the simulator's command line; their checks run when it is parsed, so a
// bad value is a one-line error before any match is played.
void AddScaleOptions(CLI::App& app, ScaleOptions& options);

} // namespace tryzone
