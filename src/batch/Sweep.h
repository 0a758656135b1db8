#pragma once

#include "batch/Report.h"
#include "run/MatchRecorder.h"
#include "settings/PlayerSettings.h"

#include <nlohmann/json.hpp>
#include <ostream>
#include <string>
#include <variant>
#include <vector>

// One settings key stepped over a range, or set to each of a list of values, on some of the players: what --vary and
// --who ask for.
struct Variation
{
    std::string key;
    double from = 0.0; // of a list, its least value
    double to = 0.0;   // of a list, its greatest
    double step = 0.0; // 0 for a list
    std::vector<double> list; // the values as given, for a list
    std::string who = "blue"; // blue, red, all or slot:N
    std::vector<int> slots;
    std::vector<float> values;
};

// The variation, or a one-line reason why it cannot be played.
[[nodiscard]] std::variant<Variation, std::string> ParseVariation(const std::string& vary, const std::string& who);

// The players for each value: the base with the key set on the chosen slots.
[[nodiscard]] std::vector<std::vector<PlayerSettings>> Lineups(const Variation& variation,
                                                               const std::vector<PlayerSettings>& base);

// The 95% Wilson score interval of a share of wins.
struct Interval
{
    double low = 0.0;
    double high = 0.0;
};
[[nodiscard]] Interval WilsonInterval(int wins, int matches);

struct SweepRow
{
    float value = 0.f;
    std::vector<MatchResult> results;
    Totals totals;
    Interval blueWins;
};

// The rows of the values that have results; `results` are the run's from task `firstTask` on, in task order.
[[nodiscard]] std::vector<SweepRow> SweepRows(const Variation& variation, int matchesPerValue, int firstTask,
                                              const std::vector<MatchResult>& results);

// "LuckMultiplier of blue from 0 to 1 by 0.25 (5 values)"
[[nodiscard]] std::string DescribeVariation(const Variation& variation);
void PrintSweep(std::ostream& out, const Variation& variation, const std::vector<SweepRow>& rows);
[[nodiscard]] std::string SweepCsv(const Variation& variation, const std::vector<SweepRow>& rows);
[[nodiscard]] nlohmann::ordered_json SweepAsJson(const RunDescription& run, const Variation& variation,
                                                 const std::vector<SweepRow>& rows);
// The value as the settings file would hold it, in the fewest digits that read back to the same float.
[[nodiscard]] std::string FloatText(float value);
