#include "core/Random.h"

#include <cmath>

namespace
{
std::mt19937& ChanceEngine()
{
    thread_local std::mt19937 engine{std::random_device{}()};
    return engine;
}

thread_local float lastChanceRoll = 0.f;

std::mt19937& RandomIntEngine()
{
    thread_local std::mt19937 engine{std::random_device{}()};
    return engine;
}
} // namespace

bool Chance(float percent)
{
    // The upper bound is the float just above 100, so that 100 itself can be drawn.
    std::uniform_real_distribution<float> distribution(0.f, std::nextafter(100.f, 101.f));
    lastChanceRoll = distribution(ChanceEngine());
    return percent > lastChanceRoll;
}

float LastChanceRoll()
{
    return lastChanceRoll;
}

int RandomInt(const int& min, const int& max)
{
    std::uniform_int_distribution<int> distribution(min, max);
    return distribution(RandomIntEngine());
}

void SeedChance(std::uint32_t seed)
{
    ChanceEngine().seed(seed);
}

void SeedRandomInt(std::uint32_t seed)
{
    RandomIntEngine().seed(seed);
}

void SeedRandom(std::uint32_t seed)
{
    SeedChance(seed);
    // A different seed keeps the two sequences from mirroring each other.
    SeedRandomInt(seed ^ 0x9E3779B9u);
}

RandomState SaveRandom()
{
    return {ChanceEngine(), RandomIntEngine(), lastChanceRoll};
}

void RestoreRandom(const RandomState& state)
{
    ChanceEngine() = state.chance;
    RandomIntEngine() = state.randomInt;
    lastChanceRoll = state.lastChanceRoll;
}
