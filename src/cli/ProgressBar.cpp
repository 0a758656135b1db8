#include "cli/ProgressBar.h"

#include <cstdio>

namespace tryzone
{

ProgressBar::ProgressBar(int matchCount, std::int64_t framesPerMatch)
    : matches(matchCount), frames(framesPerMatch), start(std::chrono::steady_clock::now())
{
}

void ProgressBar::Show(int matchesDone, std::int64_t framesOfCurrent)
{
    const double done =
        static_cast<double>(matchesDone) * static_cast<double>(frames) + static_cast<double>(framesOfCurrent);
    const double all = static_cast<double>(matches) * static_cast<double>(frames);
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    const double speed = seconds > 0.0 ? done / seconds : 0.0;
    const double left = speed > 0.0 ? (all - done) / speed : 0.0;
    constexpr int kBarWidth = 30;
    const int filled = static_cast<int>(kBarWidth * done / all);
    const double perMinute = frames > 0 ? 60.0 * speed / static_cast<double>(frames) : 0.0;
    std::fprintf(stderr, "\r[%-*.*s] %d/%d matches, %.1f matches/min, %.0f frames/s, %.0f s left  ", kBarWidth, filled,
                 "##############################", matchesDone, matches, perMinute, speed, left);
    std::fflush(stderr);
}

void ProgressBar::Clear()
{
    std::fprintf(stderr, "\r%*s\r", 120, "");
    std::fflush(stderr);
}

} // namespace tryzone
