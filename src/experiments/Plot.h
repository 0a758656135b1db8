#pragma once

#include "experiments/Sweep.h"
#include "files/Expected.h"

#include <optional>
#include <string>
#include <vector>

namespace tryzone
{

// Empty when the plotting program can be run; otherwise what to install, in one line.
[[nodiscard]] std::string PlotterMissing();

// Draws a sweep's chart with gnuplot: blue's win rate with its confidence band against the value,
// and tries per match for both sides, as the bytes of a PNG file. The reason, in one line, when it cannot.
[[nodiscard]] Expected<std::string> PlotSweep(const Variation& variation, int matchesPerValue,
                                              const std::vector<SweepRow>& rows);

// Runs gnuplot with the commands on its standard input and keeps the picture it writes on its standard output.
[[nodiscard]] Expected<std::string> RunPlotter(const std::string& commands);

} // namespace tryzone
