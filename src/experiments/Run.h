#pragma once

#include "experiments/RunSetup.h"
#include "experiments/Sweep.h"
#include "files/Expected.h"
#include "run/MatchRecorder.h"
#include "run/MatchRunner.h"
#include "settings/PlayerSettings.h"

#include <cstdint>
#include <nlohmann/json.hpp>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

namespace tryzone
{

// The lines before the first match.
void PrintHeader(std::ostream& out, const RunSetup& setup);

// The matches' scores and totals, or the sweep's table; `results` are the run's from task `firstTask` on, and
// `inJson` says whether the JSON lists what the summary leaves out.
void PrintResults(std::ostream& out, const RunSetup& setup, const std::vector<MatchResult>& results, int firstTask,
                  bool inJson);

// With the rules checked and none broken, the line that says so.
void PrintRulesKept(std::ostream& out, const RunSetup& setup, const std::vector<MatchResult>& results);

// With the rules checked, the one-line report of the rule broken, if one was.
[[nodiscard]] std::optional<std::string> BreachReport(const RunSetup& setup, const std::vector<MatchResult>& results,
                                                      int firstTask = 0);

// What --json writes for the whole run.
[[nodiscard]] nlohmann::ordered_json RunAsJson(const RunSetup& setup, const std::vector<MatchResult>& results);

} // namespace tryzone
