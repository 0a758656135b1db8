#pragma once

#include "agent/BrainDriver.h"
#include "reports/Heatmap.h"
#include "experiments/RunSetup.h"
#include "run/MatchRecorder.h"
#include "run/MatchRunner.h"
#include "settings/PlayerSettings.h"

#include <array>
#include <csignal>
#include <cstdint>
#include <functional>
#include <memory>
#include <ostream>
#include <stdexcept>
#include <string>
#include <vector>

namespace tryzone
{

// A run as it is played: its description, and how its tasks are shared out.
struct SimulationPlan
{
    // Seed, matches per group, length, players, teams, brains and rules: the plan plays this run.
    RunSetup run;
    // A sweep's players, one lineup per value, each playing matches 1 to `run.matches`; empty: `run.lineup` alone.
    std::vector<std::vector<PlayerSettings>> lineups;
    // A league's pairings, each playing matches 1 to `run.matches` with `run.lineup`; when given, they replace the
    // run's teams and brains, and `lineups`.
    std::vector<Sides> pairings;
    std::vector<std::string> lineupNames; // for messages: "Speed 120", one per lineup
    // With lineups, the blue and red tactic each one plays in instead of the run's, where not null: a tactic's
    // parameter varied.
    std::vector<std::array<std::shared_ptr<const CompiledTactic>, 2>> lineupTactics;
    // The run's tasks are numbered group * matches + match - 1; a shard plays only [firstTask, firstTask + taskCount),
    // and a negative count means all of them.
    int firstTask = 0;
    int taskCount = -1;
    int jobs = 1;                   // worker processes; 1 plays in this process
    std::ostream* events = nullptr; // optional
    Heatmap* heatmap = nullptr;     // optional
    // Read between frames: when it turns nonzero the run stops and the unfinished matches are dropped.
    const volatile std::sig_atomic_t* stop = nullptr;
    // Told now and then how far the run has come: matches finished and frames of the matches under way.
    std::function<void(int, std::int64_t)> progress;
};

// The plan that plays the whole run in this process: a sweep's lineups made from its variation.
[[nodiscard]] SimulationPlan PlanFor(const RunSetup& run);

// A worker process that died: the run cannot be complete.
class SimulationFailure : public std::runtime_error
{
public:
    using std::runtime_error::runtime_error;
};

// How the plan's tasks are numbered, and how many of them it plays.
[[nodiscard]] TaskNumbering Numbering(const SimulationPlan& plan);
[[nodiscard]] int PlannedTasks(const SimulationPlan& plan);

// Plays the planned matches, each in a fresh world, and returns their results in task order, the same whatever the
// number of workers; with the rules checked, a match that breaks one is the last. A stop request or a failed write
// of the events ends the run after the matches finished so far, in order. Throws SimulationFailure.
[[nodiscard]] std::vector<MatchResult> Simulate(const SimulationPlan& plan);

} // namespace tryzone
