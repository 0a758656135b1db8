#pragma once

#include "experiments/League.h"
#include "shards/Shards.h"
#include "files/Expected.h"

#include <nlohmann/json.hpp>
#include <string>
#include <vector>

namespace tryzone
{

// A league's whole description: its entrants (names, tactics, brains), seed, matches and length. Two shards
// belong to one league when their descriptions are equal.
[[nodiscard]] nlohmann::ordered_json LeagueSetupAsJson(const LeagueSetup& setup);

// What league --shard --json writes: the program, the league, the shard's results with every count exact, a digest.
[[nodiscard]] nlohmann::ordered_json LeaguePartAsJson(const LeagueSetup& setup, Shard shard,
                                                      const std::vector<MatchResult>& results);

// Whether the file reads as a league's part (and not a run's).
[[nodiscard]] bool IsLeaguePart(const std::string& file);

struct MergedLeague
{
    LeagueSetup setup;
    std::vector<MatchResult> results;
};

// The league put back together from its parts, or the one line that says why they are not one league's.
[[nodiscard]] Expected<MergedLeague> MergeLeagueParts(const std::vector<std::string>& files, bool anyBuild = false);

} // namespace tryzone
