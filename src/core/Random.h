#pragma once

#include <cstdint>
#include <random>

namespace tryzone
{

// True with probability percent / 100: never for 0 or less, always for 101 or more.
[[nodiscard]] bool Chance(float percent);

// The number the last Chance call in this thread drew, from 0 to 100: the call was true when percent > roll.
[[nodiscard]] float LastChanceRoll();

// Uniform integer in [min, max], both ends included.
[[nodiscard]] int RandomInt(const int& min, const int& max);

// Each function has its own engine. In the default world every thread has its own pair, seeded from
// std::random_device on first use; a world made current on the thread brings its own pair (core/World.h).
// Re-seeding makes a run reproducible; the two engines stay independent of each other.
void SeedChance(std::uint32_t seed);
void SeedRandomInt(std::uint32_t seed);
void SeedRandom(std::uint32_t seed);

// Both engines of this thread and the last roll: what a match's random numbers will be from here on.
struct RandomState
{
    std::mt19937 chance;
    std::mt19937 randomInt;
    float lastChanceRoll = 0.f;

    bool operator==(const RandomState&) const = default;
};

// The engines the calling thread draws from: its current world's, or its own when none is current. Initial-exec,
// so that a library loaded at run time (the Python module) reads it as cheaply as the programs do.
[[gnu::tls_model("initial-exec")]] inline constinit thread_local RandomState* activeRandom = nullptr;

[[nodiscard]] RandomState SaveRandom();
void RestoreRandom(const RandomState& state);

} // namespace tryzone
