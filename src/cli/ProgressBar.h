#pragma once

#include <chrono>
#include <cstdint>

namespace tryzone
{

// One line on standard error, redrawn in place: matches done, matches per minute, frames per second, time left.
class ProgressBar
{
public:
    ProgressBar(int matchCount, std::int64_t framesPerMatch);

    void Show(int matchesDone, std::int64_t framesOfCurrent);
    void Clear();

private:
    int matches;
    std::int64_t frames;
    std::chrono::steady_clock::time_point start;
};

} // namespace tryzone
