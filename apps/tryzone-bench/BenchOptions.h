#pragma once

#include <optional>

namespace tryzone
{

struct BenchOptions
{
    long long frames = 1000000; // per run
    int runs = 5;
    // Also draws every frame as the game's window does, debug marks on, into an off-screen picture.
    bool draw = false;
};

// Reads "tryzone-bench [frames per run] [runs]". Returns the exit status when the program should stop here: 0
// after printing --help, 2 after a one-line error on standard error.
[[nodiscard]] std::optional<int> ParseBenchOptions(int argc, const char* const* argv, BenchOptions& options);

} // namespace tryzone
