#pragma once

#include "run/MatchRecorder.h"

#include <array>
#include <nlohmann/json.hpp>
#include <ostream>
#include <string>
#include <vector>

namespace tryzone
{

// A number with the given places after the point, for tables.
[[nodiscard]] std::string Fixed(double value, int places);
// A rate or a mean as the JSON outputs keep it: six places.
[[nodiscard]] double Rounded(double value);

// A side's results over many matches: its counts summed, as ForEachCount lists them, and what they come to.
struct TeamTotals
{
    int wins = 0;
    int draws = 0;
    int losses = 0;
    double triesMean = 0.0;
    double triesSpread = 0.0; // sample standard deviation over the matches
    double possession = 0.0;  // share of all frames
    long long tries = 0;
    long long possessionFrames = 0;
    long long passAttempts = 0;
    long long passes = 0;
    long long tackleAttempts = 0;
    long long tackles = 0;
    long long forwardPasses = 0;
    long long restarts = 0;
    TacticTelemetry tactic;
};

struct Totals
{
    std::array<TeamTotals, 2> teams;
    long long frames = 0;
};

[[nodiscard]] Totals Summarise(const std::vector<MatchResult>& results);

void PrintSummary(std::ostream& out, const Totals& totals);

struct RunDescription
{
    std::uint64_t seed = 0;
    std::string players; // the settings file, or "defaults"
    int matches = 0;
    double minutes = 0.0;
    long long framesPerMatch = 0;
    // The tactics whose telemetry the totals name, blue and red; null for the default tactic.
    std::array<const CompiledTactic*, 2> tactics{};
};

[[nodiscard]] nlohmann::ordered_json ResultsAsJson(const RunDescription& run, const std::vector<MatchResult>& results,
                                                   const Totals& totals);

} // namespace tryzone
