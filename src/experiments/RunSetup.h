#pragma once

#include "agent/BrainDriver.h"
#include "agent/TeamSetup.h"
#include "experiments/Variation.h"
#include "files/Expected.h"
#include "laws/Laws.h"
#include "settings/PlayerSettings.h"
#include "tactics/Tactic.h"

#include <array>
#include <cstdint>
#include <memory>
#include <nlohmann/json.hpp>
#include <optional>
#include <string>
#include <vector>

namespace tryzone
{

// Everything that makes a run what it is: two runs with the same description play the same matches. The one form
// a run is written in (parts, the report) and read back from, and the one equality merge asks of two parts.
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
    std::array<TeamSetup, 2> teams; // blue, red
    BrainPlan brains;               // the slots outside brains play; none by default
    // The laws file as given, and its laws; empty and null for the game's own.
    std::string lawsFile;
    std::shared_ptr<const Laws> laws;

    [[nodiscard]] MatchTactics Tactics() const { return {teams[0].tactic, teams[1].tactic, laws}; }
    [[nodiscard]] bool HasTactics() const { return teams[0].tactic != nullptr || teams[1].tactic != nullptr; }
    // Laws other than the game's: a run under the game's own reads, prints and writes as one with no laws file.
    [[nodiscard]] bool HasLaws() const;
};

// How a run's tasks are numbered: group after group (a sweep's values, a league's pairings), each playing matches
// 1 to `matches`.
struct TaskNumbering
{
    int matches = 1;
    int groups = 1;

    [[nodiscard]] int Total() const { return matches * groups; }
    [[nodiscard]] int Match(int task) const { return task % matches + 1; }
    [[nodiscard]] int Group(int task) const { return task / matches; }
};
[[nodiscard]] TaskNumbering Numbering(const RunSetup& setup);
[[nodiscard]] int TaskTotal(const RunSetup& setup);

// The laws as a run's JSON keeps them: the file name and every law.
[[nodiscard]] nlohmann::ordered_json LawsAsJson(const RunSetup& setup);

// A variation of a tactic's parameter made playable against the run's tactics; why not, as one line.
[[nodiscard]] Expected<void> ResolveVariation(RunSetup& setup);

// The teams' tactics as a run's JSON keeps them: the file name and the whole tactic (null for the default).
[[nodiscard]] nlohmann::ordered_json TacticsAsJson(const RunSetup& setup);

// The run's JSON form: seed, options, players, and the tactics and brains when there are any (a run with neither
// writes what runs always wrote). Read back, checked as the command line and the files it stands for are.
[[nodiscard]] nlohmann::ordered_json RunSetupAsJson(const RunSetup& setup);
[[nodiscard]] Expected<RunSetup> RunSetupFromJson(const nlohmann::ordered_json& run);

// The first thing that makes `other` another run than `setup` ("another seed (4, not 3)", "other tactics", ...);
// none when they are the same run.
[[nodiscard]] std::optional<std::string> RunDifference(const RunSetup& setup, const RunSetup& other);
[[nodiscard]] bool operator==(const RunSetup& setup, const RunSetup& other);

} // namespace tryzone
