#include "core/Random.h"

#include <cmath>
#include <memory>

namespace tryzone
{

namespace
{
// The default world's engines: each thread has its own, seeded from std::random_device on first use. On the heap,
// so that the thread-local block stays small enough for a library loaded at run time (the Python module).
RandomState& ThreadRandom()
{
    thread_local std::unique_ptr<RandomState> state;
    if (!state)
    {
        state.reset(new RandomState{std::mt19937{std::random_device{}()}, std::mt19937{std::random_device{}()}, 0.f});
    }
    return *state;
}

RandomState& Current()
{
    RandomState* state = activeRandom;
    return state != nullptr ? *state : ThreadRandom();
}

std::mt19937& ChanceEngine()
{
    return Current().chance;
}

std::mt19937& RandomIntEngine()
{
    return Current().randomInt;
}
} // namespace

bool Chance(float percent)
{
    // The upper bound is the float just above 100, so that 100 itself can be drawn.
    std::uniform_real_distribution<float> distribution(0.f, std::nextafter(100.f, 101.f));
    RandomState& state = Current();
    state.lastChanceRoll = distribution(state.chance);
    return percent > state.lastChanceRoll;
}

float LastChanceRoll()
{
    return Current().lastChanceRoll;
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
    return Current();
}

void RestoreRandom(const RandomState& state)
{
    Current() = state;
}

} // namespace tryzone
