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
    bool decisionFramesGiven = false;

    // Whether any brain was given.
    [[nodiscard]] bool Given() const;
};

// Adds --brain, --decision-frames, --blue-brain and --red-brain, bound to options; a bad value is a
// CLI::ValidationError naming its option.
void AddBrainOptions(CLI::App& app, BrainOptions& options);

// The plan for the lineup: --brain's slots, then each team's brain on the team's other players as their settings
// place them, deciding at the first policy's pace unless --decision-frames says otherwise; why, when two brains
// would decide at different paces.
[[nodiscard]] Expected<BrainPlan> PlanBrains(const BrainOptions& options, const std::vector<PlayerSettings>& lineup);

} // namespace tryzone
