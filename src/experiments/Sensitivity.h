#pragma once

#include "agent/BrainDriver.h"
#include "experiments/Sweep.h"
#include "files/Expected.h"
#include "laws/Laws.h"
#include "run/MatchRecorder.h"
#include "settings/PlayerSettings.h"

#include <cstdint>
#include <memory>
#include <nlohmann/json.hpp>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

namespace tryzone
{

// Which change helps a side most: each float key of its players moved down and up by a share of its value, every
// lineup on the same match seeds, the changes ranked by the side's win rate against the players as they are.
struct SensitivitySetup
{
    std::string who = "red"; // blue, red, all or slot:N
    std::vector<int> slots;
    int side = 1;         // whose wins count: 0 blue, 1 red
    double change = 10.0; // percent of each player's own value
    std::uint64_t seed = 0;
    std::string players; // the settings file, or "defaults"
    std::vector<PlayerSettings> lineup;
    int matches = 1; // per lineup
    double minutes = 80.0;
    std::int64_t framesPerMatch = 0;
    // Laws other than the game's, with their file as given; null for the game's own.
    std::shared_ptr<const Laws> laws;
    std::string lawsFile;
    BrainPlan brains; // the slots outside brains play, whatever their settings
};

struct SensitivityRow
{
    std::string key;   // empty for the players as they are
    int direction = 0; // -1 down, +1 up, 0 unchanged
    int matches = 0;
    int wins = 0;
    int draws = 0;
    int losses = 0;
    double rate = 0.0;
    Interval interval;
};

struct SensitivityTable
{
    SensitivityRow unchanged;
    std::vector<SensitivityRow> ranked; // highest win rate first; ties in the keys' order, down before up
};

// Lineup 0 is the players as they are, then each float key down and up, in the settings file's order; the tasks are
// numbered lineup * matches + match - 1.
[[nodiscard]] std::vector<std::vector<PlayerSettings>> SensitivityLineups(const SensitivitySetup& setup);
[[nodiscard]] std::vector<std::string> SensitivityLineupNames(const SensitivitySetup& setup);

// The table from the results of every task, in task order.
[[nodiscard]] SensitivityTable TabulateSensitivity(const SensitivitySetup& setup,
                                                   const std::vector<MatchResult>& results);

// "Speed +10%"
[[nodiscard]] std::string ChangeLabel(const SensitivitySetup& setup, const SensitivityRow& row);

void PrintSensitivityHeader(std::ostream& out, const SensitivitySetup& setup);
void PrintSensitivity(std::ostream& out, const SensitivitySetup& setup, const SensitivityTable& table);
[[nodiscard]] nlohmann::ordered_json SensitivityAsJson(const SensitivitySetup& setup, const SensitivityTable& table);
[[nodiscard]] std::string SensitivityCsv(const SensitivitySetup& setup, const SensitivityTable& table);
// The win rates with their intervals against the unchanged band, drawn by gnuplot into PNG bytes; the reason when
// it cannot.
[[nodiscard]] Expected<std::string> PlotSensitivity(const SensitivitySetup& setup, const SensitivityTable& table);

} // namespace tryzone
