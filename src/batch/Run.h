#pragma once

#include "batch/Sweep.h"
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

// Everything that makes a run what it is: two runs with the same description play the same matches.
struct RunSetup
{
    std::uint64_t seed = 0;
    std::string players; // the settings file as given, or "defaults"
    std::vector<PlayerSettings> lineup;
    int matches = 1; // per value in a sweep
    double minutes = 80.0;
    std::int64_t framesPerMatch = 0;
    bool checkRules = false;
    std::optional<Variation> variation;
    std::string brains; // which built-in brains play which slots; empty: none
    // The tactics files as given; empty for the default tactic. A run with neither reads and prints as before.
    std::string blueTactics;
    std::string redTactics;
    MatchTactics tactics;
    // The laws file as given; empty for the game's own laws, which tactics.laws then leaves null.
    std::string lawsFile;
};

[[nodiscard]] bool HasTactics(const RunSetup& setup);
// Laws other than the game's: a run under the game's own reads, prints and writes as one with no laws file.
[[nodiscard]] bool HasLaws(const RunSetup& setup);
// The laws as a run's JSON keeps them: the file name and every law.
[[nodiscard]] nlohmann::ordered_json LawsAsJson(const RunSetup& setup);
// The laws a document keeps (LawsAsJson's form) into setup; the reason it is refused, if it is.
[[nodiscard]] Expected<void> ReadLawsJson(const nlohmann::ordered_json& kept, RunSetup& setup);
// The teams' tactics as a run's JSON keeps them: the file name and the whole tactic (null for the default).
[[nodiscard]] nlohmann::ordered_json TacticsAsJson(const RunSetup& setup);

[[nodiscard]] int TaskTotal(const RunSetup& setup);

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
