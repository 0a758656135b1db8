#pragma once

#include "Heatmap.h"
#include "MatchRecord.h"
#include "settings/PlayerSettings.h"

#include <array>
#include <cstdint>
#include <functional>
#include <ostream>
#include <vector>

class RugbyScene;

struct SimulationPlan
{
    std::vector<PlayerSettings> players;
    std::uint64_t seed = 0;
    int matches = 1;
    std::int64_t framesPerMatch = 0;
    std::ostream* events = nullptr; // optional
    Heatmap* heatmap = nullptr;     // optional
    bool checkRules = false;        // the first rule broken ends the run
    // Told now and then how far the run has come: matches finished and frames of the current match.
    std::function<void(int, std::int64_t)> progress;
};

// The size of the pitch a simulated match is laid out on: the game's window.
inline constexpr int kPitchWidth = 1280;
inline constexpr int kPitchHeight = 720;

// The ten players the game fields when it has no settings file.
[[nodiscard]] std::array<PlayerSettings, 10> DefaultPlayers();

// Frames that make up the given simulated minutes at the game's capped frame time, and back to hours.
[[nodiscard]] std::int64_t FramesFor(double minutes);
[[nodiscard]] double SimulatedHours(std::int64_t frames);

// The seed of one match, drawn from the run's seed, so that each match can be replayed on its own.
[[nodiscard]] std::uint32_t MatchSeed(std::uint64_t runSeed, int match);

// A fresh world, and in it the game's match with these players and the observer (which may be null) listening;
// the random numbers are left as they are. Returns the match.
const RugbyScene& LaunchMatch(const std::vector<PlayerSettings>& players, MatchObserver* observer);

// Destroys the match and returns the world to its first state.
void EndMatch();

// Plays the matches one after another, each in a fresh world, and returns their results in order; with the rules
// checked, a match that breaks one is the last.
[[nodiscard]] std::vector<MatchResult> Simulate(const SimulationPlan& plan);
