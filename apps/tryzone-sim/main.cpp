#include "batch/Interrupt.h"
#include "batch/OutputFiles.h"
#include "cli/Options.h"
#include "cli/ScaleOptions.h"
#include "cli/SimCommands.h"

int main(int argc, char** argv)
{
    Options options;
    ScaleOptions scale;
    const auto commandLine = MakeCommandLine(options);
    AddScaleOptions(*commandLine, scale);
    std::string replay;
    commandLine
        ->add_option("--replay", replay,
                     "play a recording of the game (tryzone --record, or S in the game) to its last frame;\nthe "
                     "match comes from the recording, with --events and --json as for any run")
        ->type_name("FILE")
        ->excludes("--settings")
        ->excludes("--matches")
        ->excludes("--minutes")
        ->excludes("--seed")
        ->excludes("--heatmap")
        ->excludes("--check")
        ->excludes("--vary")
        ->excludes("--shard");
    if (const auto status = ParseCommandLine(*commandLine, argc, argv))
    {
        return *status;
    }
    // Handled from before the first temporary file exists to the end, so that none is ever left behind.
    CatchStopSignals();
    if (scale.merge->parsed())
    {
        return MergeCommand(scale);
    }
    OutputFiles files;
    const SimOutputs outputs = AddSimOutputs(options, scale, files);
    if (!replay.empty())
    {
        files.AddInput("--replay", replay);
    }
    // Nothing is played before every output is known to be writable and none of them is an input.
    if (const auto failure = files.Open())
    {
        return Fail(failure->status, failure->reason);
    }
    return replay.empty() ? RunCommand(options, scale, files, outputs) : ReplayCommand(replay, files, outputs);
}
