#include "cli/Options.h"
#include "cli/ScaleOptions.h"
#include "cli/SensitivityCommand.h"
#include "cli/ShowCommands.h"
#include "cli/SimCommands.h"
#include "cli/TacticsCommands.h"
#include "files/OutputFiles.h"
#include "files/StopSignals.h"

using namespace tryzone;

namespace
{
// A recording played instead of a run: everything that makes a run is the recording's.
void AddReplayOption(CLI::App& commandLine, std::string& replay)
{
    commandLine
        .add_option("--replay", replay,
                    "play a recording of the game (tryzone --record, or S in the game) to its last frame;\nthe "
                    "match comes from the recording, with --events and --json as for any run")
        ->type_name("FILE")
        ->excludes("--settings")
        ->excludes("--matches")
        ->excludes("--minutes")
        ->excludes("--seed")
        ->excludes("--heatmap")
        ->excludes("--check")
        ->excludes("--brain")
        ->excludes("--blue-brain")
        ->excludes("--red-brain")
        ->excludes("--vary")
        ->excludes("--shard")
        ->excludes("--blue-tactics")
        ->excludes("--red-tactics")
        ->excludes("--blue-team")
        ->excludes("--red-team")
        ->excludes("--laws")
        ->excludes("--match");
}
} // namespace

int main(int argc, char** argv)
{
    Options options;
    ScaleOptions scale;
    const auto commandLine = MakeCommandLine(options);
    AddScaleOptions(*commandLine, scale);
    AddTacticsOptions(*commandLine, options);
    TacticsCommands tactics;
    AddTacticsCommands(*commandLine, tactics);
    SensitivityOptions sensitivity;
    AddSensitivityCommand(*commandLine, sensitivity);
    ShowOptions show;
    AddShowOptions(*commandLine, show);
    std::string replay;
    AddReplayOption(*commandLine, replay);
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
    if (tactics.tactics->parsed())
    {
        return TacticsCommand(tactics);
    }
    if (tactics.league->parsed())
    {
        return LeagueCommand(tactics);
    }
    if (sensitivity.command->parsed())
    {
        return SensitivityCommand(sensitivity);
    }
    // Every tactics file is known good before anything is opened or played.
    if (!ReadRunTactics(options))
    {
        return 2;
    }

    OutputFiles files;
    const SimOutputs outputs = AddSimOutputs(options, scale, files);
    AddShowOutputs(show, files);
    if (!replay.empty())
    {
        files.AddInput("--replay", replay);
    }
    for (const auto& [option, file] : {std::pair{"--blue-tactics", options.blueTactics},
                                       {"--red-tactics", options.redTactics},
                                       {"--laws", options.lawsFile}})
    {
        if (!file.empty())
        {
            files.AddInput(option, file);
        }
    }
    for (const std::string& policy : options.brains.PolicyFiles())
    {
        files.AddInput("--brain", policy);
    }
    // Nothing is played before every output is known to be writable and none of them is an input.
    if (const int status = OpenOutputFiles(files); status != 0)
    {
        return status;
    }
    if (Showing(show))
    {
        return ShowCommand(options, show, replay, files);
    }
    return replay.empty() ? RunCommand(options, scale, files, outputs) : ReplayCommand(replay, files, outputs);
}
