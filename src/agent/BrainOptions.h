#pragma once

#include "agent/BrainDriver.h"
#include "files/Expected.h"
#include "settings/PlayerSettings.h"

#include <array>
#include <string>
#include <vector>

namespace CLI
{
class App;
}

namespace tryzone
{

// The brains a command line gives a match: --brain's slots, each team's --blue-brain and --red-brain, and
// --decision-frames. The game, the simulator and its subcommands read them here, by the same names.
struct BrainOptions
{
    BrainPlan slots;                  // --brain's slots, deciding every --decision-frames frames
    std::array<std::string, 2> teams; // blue, red: every player of the team but --brain's slots
    // A team file's brains, for each team its players' by rank (counted in slot order), but --brain's slots.
    std::array<std::array<std::string, kTeamSlots>, 2> ranked;
    bool decisionFramesGiven = false;

    // Whether any brain was given.
    [[nodiscard]] bool Given() const;
    // The policy files the brains read.
    [[nodiscard]] std::vector<std::string> PolicyFiles() const;
};

// Adds --brain, --decision-frames, --blue-brain and --red-brain, bound to options; a bad value is a
// CLI::ValidationError naming its option.
void AddBrainOptions(CLI::App& app, BrainOptions& options);

// A team file (NAME.team.json, read as the league reads its entrants) as one side's options: its tactics file
// (empty for the built-in wiring) into tacticsFile, its brains into options; the one line that says why not.
[[nodiscard]] Expected<void> TakeTeam(const std::string& path, int team, std::string& tacticsFile,
                                      BrainOptions& options);

// Adds --blue-team and --red-team, which stand for --blue-tactics and the team's brains and exclude --blue-tactics
// and --blue-brain (likewise for red): call it once those are added. tacticsFiles are the options' tactics files,
// blue and red.
void AddTeamOptions(CLI::App& app, BrainOptions& options, const std::array<std::string*, 2>& tacticsFiles);

// The plan for the lineup: --brain's slots, then each team file's brains by rank, then each team's brain on the team's
// other players as their settings place them, deciding at the first policy's pace unless --decision-frames says
// otherwise; why, when two brains would decide at different paces.
[[nodiscard]] Expected<BrainPlan> PlanBrains(const BrainOptions& options, const std::vector<PlayerSettings>& lineup);

} // namespace tryzone
