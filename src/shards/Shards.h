#pragma once

#include "shape/MatchShape.h"
#include "reports/Heatmap.h"
#include "experiments/Run.h"
#include "files/Expected.h"
#include "run/MatchRunner.h"

#include <nlohmann/json.hpp>
#include <string>
#include <variant>
#include <vector>

namespace tryzone
{

// Shard `index` of `count`, counted from 0 as job arrays count their tasks.
struct Shard
{
    int index = 0;
    int count = 1;
};

// "K/N", or a one-line reason why not.
[[nodiscard]] Expected<Shard> ParseShard(const std::string& text);

// A shard's tasks: a run's tasks cut into `count` consecutive runs of (nearly) equal length, so that the shards'
// event logs one after another are the whole run's.
struct TaskRange
{
    int first = 0;
    int count = 0;
};
[[nodiscard]] TaskRange ShardTasks(Shard shard, int taskTotal);

// What --json writes for a shard: the program that played it, the run's whole description, the shard's results with
// every count exact, its heat counts and a digest of it all.
[[nodiscard]] nlohmann::ordered_json PartAsJson(const RunSetup& setup, Shard shard,
                                                const std::vector<MatchResult>& results, double seconds,
                                                const Heatmap& heatmap);

// The whole run put back together from its parts, as if it had been played in one go.
struct MergedRun
{
    RunSetup setup;
    std::vector<MatchResult> results;
    long long frames = 0; // played in the parts
    double seconds = 0.0; // the parts' playing times added up
    Heatmap heatmap{kPitchWidth, kPitchHeight};
};

// The parts' files, or a one-line reason why they do not make one run. Each part is checked against what can be
// recomputed (the matches' numbers and seeds, their frames, counts no match can exceed) and against its digest, then
// its sampled matches are played again and must give its results; parts written by another build of the program are
// refused unless `anyBuild`, and then not played again (their matches may differ). A stop signal ends the replays.
[[nodiscard]] Expected<MergedRun> MergeParts(const std::vector<std::string>& files, bool anyBuild = false,
                                             bool replayAll = false);

} // namespace tryzone
