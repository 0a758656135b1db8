#pragma once

#include "experiments/Run.h"
#include "shards/Shards.h"
#include "files/Expected.h"

#include <vector>

namespace tryzone
{

// Which of a part's matches merge plays again: one drawn at random, which a forger cannot know in advance, or all.
enum class ReplaySample
{
    One,
    All,
};

// Plays again, from the run's description alone, the sampled matches of a part whose results start at task
// tasks.first, and says which one differs from what the part claims, if one does: "match 3: blue's tries 9 in the
// part, 2 played again". A stop signal ends the replay early with no refusal; the caller reads the signal.
[[nodiscard]] Expected<void> ReplayResults(const RunSetup& setup, TaskRange tasks,
                                           const std::vector<MatchResult>& results, ReplaySample sample);

} // namespace tryzone
