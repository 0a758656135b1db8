#pragma once

#include "agent/BrainDriver.h"
#include "batch/Heatmap.h"
#include "run/MatchRecorder.h"
#include "run/MatchRunner.h"
#include "settings/PlayerSettings.h"

#include <array>
#include <csignal>
#include <cstdint>
#include <functional>
#include <ostream>
#include <stdexcept>
#include <string>
#include <vector>

namespace tryzone
{

struct SimulationPlan
{
    std::vector<PlayerSettings> players;
    // A sweep's players, one lineup per value, each playing matches 1 to `matches`; empty: `players` alone.
    std::vector<std::vector<PlayerSettings>> lineups;
    // Both teams' tactics for every match; null ones are the default tactic.
    MatchTactics tactics;
    // A league's pairings, each playing matches 1 to `matches` with `players`; when given, they replace `tactics`
    // and `lineups`, and tasks are numbered pairing * matches + match - 1.
    std::vector<MatchTactics> pairings;
    std::vector<std::string> lineupNames; // for messages: "Speed 120", one per lineup
    std::uint64_t seed = 0;
    int matches = 1;
    std::int64_t framesPerMatch = 0;
    // The run's tasks are numbered lineup * matches + match - 1; a shard plays only [firstTask, firstTask + taskCount),
    // and a negative count means all of them.
    int firstTask = 0;
    int taskCount = -1;
    int jobs = 1;                   // worker processes; 1 plays in this process
    std::ostream* events = nullptr; // optional
    Heatmap* heatmap = nullptr;     // optional
    bool checkRules = false;        // the first rule broken ends the run
    BrainPlan brains;               // the slots built-in brains play; none by default
    // Read between frames: when it turns nonzero the run stops and the unfinished matches are dropped.
    const volatile std::sig_atomic_t* stop = nullptr;
    // Told now and then how far the run has come: matches finished and frames of the matches under way.
    std::function<void(int, std::int64_t)> progress;
};

// A worker process that died: the run cannot be complete.
class SimulationFailure : public std::runtime_error
{
public:
    using std::runtime_error::runtime_error;
};

// All the run's tasks, and those the plan plays.
[[nodiscard]] int TaskTotal(const SimulationPlan& plan);
[[nodiscard]] int PlannedTasks(const SimulationPlan& plan);

// Plays the planned matches, each in a fresh world, and returns their results in task order, the same whatever the
// number of workers; with the rules checked, a match that breaks one is the last. A stop request or a failed write
// of the events ends the run after the matches finished so far, in order. Throws SimulationFailure.
[[nodiscard]] std::vector<MatchResult> Simulate(const SimulationPlan& plan);

} // namespace tryzone
