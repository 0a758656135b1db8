#pragma once

#include "agent/Entrant.h"
#include "experiments/RunSetup.h"
#include "experiments/Sweep.h"
#include "files/Expected.h"
#include "laws/Laws.h"
#include "run/MatchRecorder.h"
#include "run/MatchRunner.h"
#include "stats/BradleyTerry.h"

#include <cstdint>
#include <nlohmann/json.hpp>
#include <ostream>
#include <string>
#include <vector>

namespace tryzone
{

// Ways of playing against one another: every pair both ways round (each entrant as blue and as red), both ways on
// the same match seeds, so that a side's own edge cancels out.
using LeagueEntry = Entrant;

struct Pairing
{
    int blue = 0;
    int red = 0;
};

// (0, 1), (1, 0), (0, 2), (2, 0), ... (n - 2, n - 1), (n - 1, n - 2).
[[nodiscard]] std::vector<Pairing> LeaguePairings(int entries);
// Who plays each pairing, in the pairings' order.
[[nodiscard]] std::vector<Sides> PairingSides(const std::vector<LeagueEntry>& entries,
                                              const std::vector<Pairing>& pairings,
                                              const std::vector<PlayerSettings>& lineup);

struct LeagueRow
{
    int matches = 0;
    int wins = 0;
    int draws = 0;
    int losses = 0;
    long long triesFor = 0;
    long long triesAgainst = 0;
    Interval winRate;
    double rating = 0.0;
    Interval ratingInterval; // 95%, from the fitted model's Fisher information
    // How it played: frames its team held the ball, of all the frames of its matches; passes and tackles made.
    std::int64_t possessionFrames = 0;
    std::int64_t frames = 0;
    long long passes = 0;
    long long tackles = 0;
    TacticTelemetry tactic; // its players' states and links, in its own tactic
};

struct LeagueSetup
{
    std::vector<LeagueEntry> entries;
    int matches = 1; // per pairing
    double minutes = 80.0;
    std::int64_t framesPerMatch = 0;
    std::uint64_t seed = 0;
    // Laws other than the game's, with their file as given; null for the game's own.
    std::shared_ptr<const Laws> laws;
    std::string lawsFile;
    // The ten players every match fields, and where they come from ("defaults" or the settings file).
    std::vector<PlayerSettings> players;
    std::string playersFrom = "defaults";
};

// The rows in the entries' order from the results in task order (pairing * matches + match - 1).
[[nodiscard]] std::vector<LeagueRow> TabulateLeague(const LeagueSetup& setup, const std::vector<MatchResult>& results);

// Each rating's 95% interval (1.96 standard errors either side) from the Fisher information of the model fitted
// to the same wins: the information's pseudo-inverse is the ratings' covariance under their mean being 0.
[[nodiscard]] std::vector<Interval> RatingIntervals(const std::vector<std::vector<double>>& wins,
                                                    const std::vector<double>& ratings);

void PrintLeague(std::ostream& out, const LeagueSetup& setup, const std::vector<LeagueRow>& rows);
[[nodiscard]] nlohmann::ordered_json LeagueAsJson(const LeagueSetup& setup, const std::vector<LeagueRow>& rows,
                                                  const std::vector<MatchResult>& results);
[[nodiscard]] std::string LeagueCsv(const LeagueSetup& setup, const std::vector<LeagueRow>& rows);
// The win rates with their intervals as a bar chart, drawn by gnuplot into PNG bytes; the reason when it cannot.
[[nodiscard]] Expected<std::string> PlotLeague(const LeagueSetup& setup, const std::vector<LeagueRow>& rows);

} // namespace tryzone
