#pragma once

#include "Heatmap.h"
#include "play/MatchRecorder.h"
#include "play/MatchRunner.h"
#include "settings/PlayerSettings.h"

#include <array>
#include <csignal>
#include <cstdint>
#include <functional>
#include <ostream>
#include <vector>

struct SimulationPlan
{
    std::vector<PlayerSettings> players;
    std::uint64_t seed = 0;
    int matches = 1;
    std::int64_t framesPerMatch = 0;
    std::ostream* events = nullptr; // optional
    Heatmap* heatmap = nullptr;     // optional
    bool checkRules = false;        // the first rule broken ends the run
    // Read between frames: when it turns nonzero the run stops and the unfinished match is dropped.
    const volatile std::sig_atomic_t* stop = nullptr;
    // Told now and then how far the run has come: matches finished and frames of the current match.
    std::function<void(int, std::int64_t)> progress;
};

// Plays the matches one after another, each in a fresh world, and returns their results in order; with the rules
// checked, a match that breaks one is the last. A stop request or a failed write of the events ends the run after
// the matches finished so far.
[[nodiscard]] std::vector<MatchResult> Simulate(const SimulationPlan& plan);
