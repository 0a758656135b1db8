#pragma once

#include "experiments/Simulation.h"
#include "cli/Options.h"
#include "cli/ScaleOptions.h"
#include "settings/PlayerSettings.h"

#include <iosfwd>
#include <optional>
#include <cstdint>
#include <string>
#include <vector>

namespace tryzone
{

class OutputFiles;
class Output;

// What tryzone-sim does once its command line is parsed; each returns the program's exit status.

// The parts of a sharded run merged into the whole run's outputs.
[[nodiscard]] int MergeCommand(const ScaleOptions& scale);

// The simulator's outputs, opened before anything is played.
struct SimOutputs
{
    Output* events = nullptr;
    Output* json = nullptr;
    Output* heatmap = nullptr;
    Output* csv = nullptr;
    Output* plot = nullptr;
};

// Adds the outputs (and the settings file as an input) the options name.
[[nodiscard]] SimOutputs AddSimOutputs(const Options& options, const ScaleOptions& scale, OutputFiles& files);

// A recording of the game played headless to its last frame, with the same event log as in the window.
[[nodiscard]] int ReplayCommand(const std::string& path, OutputFiles& files, const SimOutputs& outputs);

// A seeded run of matches, a sweep or one shard of either.
[[nodiscard]] int RunCommand(const Options& options, const ScaleOptions& scale, OutputFiles& files,
                             const SimOutputs& outputs);

// The players as the game would field them, except that nothing is ever written: a file that does not load is an
// error here (its lines on standard error), and no file at the default place means the defaults. `description` is
// the file, or "defaults". The file's lines meant for standard output go to out (the run's summary).
[[nodiscard]] std::optional<std::vector<PlayerSettings>> LoadRunPlayers(const Options& options,
                                                                        std::string& description, std::ostream& out);

// Plays the plan, with a progress bar when standard error is a terminal; the wall-clock seconds it took. Throws
// SimulationFailure.
double PlayWithProgress(SimulationPlan& plan, int taskCount, std::vector<MatchResult>& results);

// A run seed for a run given none: 64 bits from the random device, printed with the results.
[[nodiscard]] std::uint64_t DrawSeed();

// "tryzone-sim: " and the reason on standard error; returns status.
int Fail(int status, const std::string& reason);

// Opens the outputs before anything is played: 0, or the exit status after saying why not, 2 for outputs the
// command line names wrongly and 1 for files that cannot be made.
int OpenOutputFiles(OutputFiles& files);

} // namespace tryzone
