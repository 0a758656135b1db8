#pragma once

#include "reports/Report.h"
#include "experiments/Variation.h"
#include "run/MatchRecorder.h"
#include "settings/PlayerSettings.h"
#include "stats/Wilson.h"

#include <nlohmann/json.hpp>
#include <ostream>
#include <string>
#include <variant>
#include <vector>

namespace tryzone
{

// The team whose numbers a variation's report gives: 0 for blue (blue, all or a blue slot), 1 for red.
[[nodiscard]] int WhoseSide(const Variation& variation);
// "blue" or "red", for the columns that say whose.
[[nodiscard]] const char* SideName(int side);

struct SweepRow
{
    float value = 0.f;
    std::vector<MatchResult> results;
    Totals totals;
    int side = 0;  // whose wins below
    Interval wins; // 95% interval of the side's win rate
    [[nodiscard]] double WinRate() const;
};

// The rows of the values that have results; `results` are the run's from task `firstTask` on, in task order.
[[nodiscard]] std::vector<SweepRow> SweepRows(const Variation& variation, int matchesPerValue, int firstTask,
                                              const std::vector<MatchResult>& results);

void PrintSweep(std::ostream& out, const Variation& variation, const std::vector<SweepRow>& rows);
[[nodiscard]] std::string SweepCsv(const Variation& variation, const std::vector<SweepRow>& rows);
[[nodiscard]] nlohmann::ordered_json SweepAsJson(const RunDescription& run, const Variation& variation,
                                                 const std::vector<SweepRow>& rows);

} // namespace tryzone
