#include "reports/Heatmap.h"
#include "shape/MatchShape.h"
#include "files/StopSignals.h"
#include "files/OutputFiles.h"
#include "reports/Report.h"
#include "experiments/Run.h"
#include "shards/Shards.h"
#include "experiments/Simulation.h"
#include "experiments/Sweep.h"
#include "cli/ProgressBar.h"
#include "cli/SimCommands.h"
#include "cli/SimReport.h"
#include "settings/DefaultPlayerSettings.h"
#include "settings/PlayersConfig.h"

#include <chrono>
#include <cstring>
#include <filesystem>
#include <iostream>
#include <optional>
#include <random>
#include <unistd.h>

namespace tryzone
{

namespace
{
long long FramesOf(const std::vector<MatchResult>& results)
{
    long long frames = 0;
    for (const MatchResult& result : results)
    {
        frames += result.frames;
    }
    return frames;
}

RunSetup MakeSetup(const Options& options, const ScaleOptions& scale, const std::vector<PlayerSettings>& records,
                   const std::string& players)
{
    RunSetup setup;
    setup.seed = options.seed.value_or(DrawSeed());
    setup.players = players;
    setup.lineup = records;
    setup.matches = options.matches;
    setup.minutes = options.minutes;
    setup.framesPerMatch = FramesFor(options.minutes);
    setup.checkRules = options.checkRules;
    setup.variation = scale.variation;
    setup.teams[0] = {options.blueTactics, options.tactics.blue};
    setup.teams[1] = {options.redTactics, options.tactics.red};
    setup.laws = options.tactics.laws;
    setup.lawsFile = setup.laws != nullptr ? options.lawsFile : "";
    return setup;
}

SimulationPlan MakePlan(const RunSetup& setup, const TaskRange& tasks, int jobs, Output* events, Heatmap* heatmap)
{
    SimulationPlan plan = PlanFor(setup);
    plan.firstTask = tasks.first;
    plan.taskCount = tasks.count;
    plan.jobs = jobs;
    plan.events = events != nullptr ? &events->Stream() : nullptr;
    plan.heatmap = heatmap;
    plan.stop = &StopSignal();
    return plan;
}

void PrintShard(std::ostream& out, const RunSetup& setup, const Shard& shard, const TaskRange& tasks)
{
    out << "Shard " << shard.index << " of " << shard.count << ": ";
    if (tasks.count == 0)
    {
        out << "no matches (the run has " << TaskTotal(setup) << ")\n\n";
        return;
    }
    out << "matches " << tasks.first + 1 << " to " << tasks.first + tasks.count << " of the run's " << TaskTotal(setup)
        << (setup.variation ? ", counted value after value\n\n" : "\n\n");
}

// With a heat map to draw, why its font cannot be had, if it cannot: known before anything is played.
std::optional<std::string> FontMissing(const SimOutputs& outputs)
{
    try
    {
        if (outputs.heatmap != nullptr)
        {
            static_cast<void>(Heatmap::FontFile());
        }
    }
    catch (const std::runtime_error& error)
    {
        return error.what();
    }
    return std::nullopt;
}

// The files of a finished run: JSON (or a shard's part), heat map, sweep table and chart, then the commit.
int WriteOutputs(const RunSetup& setup, const ScaleOptions& scale, const TaskRange& tasks,
                 const std::vector<MatchResult>& results, double seconds, Heatmap* heatmap, OutputFiles& files,
                 const SimOutputs& outputs)
{
    if (outputs.json != nullptr)
    {
        const auto document =
            scale.shard ? PartAsJson(setup, *scale.shard, results, seconds, *heatmap) : RunAsJson(setup, results);
        outputs.json->Stream() << document.dump(2) << '\n';
    }
    if (outputs.heatmap != nullptr)
    {
        try
        {
            outputs.heatmap->Stream() << heatmap->EncodePng({static_cast<int>(results.size()), setup.seed});
        }
        catch (const std::runtime_error& error)
        {
            return Fail(1, "cannot draw " + outputs.heatmap->Name() + ": " + error.what());
        }
    }
    return WriteSweepFilesAndCommit(setup, results, tasks.first, outputs.csv, outputs.plot, files);
}
} // namespace

std::uint64_t DrawSeed()
{
    std::random_device device;
    return (static_cast<std::uint64_t>(device()) << 32) | device();
}

std::optional<std::vector<PlayerSettings>> LoadRunPlayers(const Options& options, std::string& description,
                                                          std::ostream& out)
{
    const auto defaults = DefaultPlayers();
    if (!options.settingsGiven && !std::filesystem::exists(options.settings))
    {
        description = "defaults";
        return std::vector<PlayerSettings>(defaults.begin(), defaults.end());
    }
    PlayersConfig config(options.settings);
    const auto loaded = config.Load();
    if (!loaded)
    {
        std::cerr << loaded.Reason() << std::endl;
        return std::nullopt;
    }
    out << kLoadedLine << std::endl;
    for (const std::string& warning : *loaded)
    {
        std::cerr << warning << std::endl;
    }
    if (const int filled = config.CompleteFrom(defaults); filled > 0)
    {
        out << kFilledInPrefix << filled << std::endl;
    }
    description = options.settings;
    return config.records;
}

double PlayWithProgress(SimulationPlan& plan, int taskCount, std::vector<MatchResult>& results)
{
    std::optional<ProgressBar> progress;
    if (isatty(STDERR_FILENO) != 0)
    {
        progress.emplace(taskCount, plan.run.framesPerMatch);
        plan.progress = [&progress](int done, std::int64_t frames) { progress->Show(done, frames); };
    }
    const auto started = std::chrono::steady_clock::now();
    try
    {
        results = Simulate(plan);
    }
    catch (const SimulationFailure&)
    {
        if (progress)
        {
            progress->Clear();
        }
        throw;
    }
    if (progress)
    {
        progress->Clear();
    }
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
}

// The summary's results, rules and speed; the status so far: a stop signal's, 3 for a broken rule, or 0.
int ReportRun(std::ostream& out, const RunSetup& setup, const std::vector<MatchResult>& results, TaskRange tasks,
              double seconds, bool json, int stopSignal)
{
    PrintResults(out, setup, results, tasks.first, json && stopSignal == 0);
    int status = 0;
    if (stopSignal != 0)
    {
        out << "Interrupted after " << results.size() << " of " << tasks.count << " matches: no file written\n";
        status = 128 + stopSignal;
    }
    else if (const auto breach = BreachReport(setup, results, tasks.first))
    {
        status = Fail(3, *breach);
    }
    else
    {
        PrintRulesKept(out, setup, results);
    }
    PrintSpeed(out, FramesOf(results), seconds, "", setup.framesPerMatch, setup.minutes);
    return status;
}

int RunCommand(const Options& options, const ScaleOptions& scale, OutputFiles& files, const SimOutputs& outputs)
{
    if (const auto missing = FontMissing(outputs))
    {
        return Fail(1, "cannot draw " + options.heatmapFile + ": " + *missing);
    }
    // A part carries its heat counts, so that the merged run can draw its heat map.
    std::optional<Heatmap> heatmap;
    if (outputs.heatmap != nullptr || (scale.shard && outputs.json != nullptr))
    {
        heatmap.emplace(kPitchWidth, kPitchHeight);
    }
    std::string players;
    const auto records = LoadRunPlayers(options, players, files.Summary());
    if (!records)
    {
        return 2;
    }
    RunSetup setup = MakeSetup(options, scale, *records, players);
    if (const auto resolved = ResolveVariation(setup); !resolved)
    {
        return Fail(2, resolved.Reason());
    }
    auto brains = PlanBrains(options.brains, *records);
    if (!brains)
    {
        return Fail(2, brains.Reason());
    }
    setup.brains = *std::move(brains);
    const TaskRange tasks = scale.shard ? ShardTasks(*scale.shard, TaskTotal(setup)) : TaskRange{0, TaskTotal(setup)};
    SimulationPlan plan = MakePlan(setup, tasks, scale.jobs, outputs.events, heatmap ? &*heatmap : nullptr);

    std::ostream& out = files.Summary();
    PrintHeader(out, setup);
    if (scale.shard)
    {
        PrintShard(out, setup, *scale.shard, tasks);
    }
    // A summary that cannot be shown stops the run before it starts.
    if (const auto done = files.FlushSummary(); !done)
    {
        return Fail(1, done.Reason());
    }

    std::vector<MatchResult> results;
    double seconds = 0.0;
    try
    {
        seconds = PlayWithProgress(plan, tasks.count, results);
    }
    catch (const SimulationFailure& failure)
    {
        return Fail(1, failure.what());
    }

    const int stopSignal = StopSignal();
    if (outputs.events != nullptr && outputs.events->Error() != 0)
    {
        return Fail(1, "cannot write " + outputs.events->Name() + ": " + std::strerror(outputs.events->Error()));
    }
    const int status = ReportRun(out, setup, results, tasks, seconds, outputs.json != nullptr, stopSignal);
    if (stopSignal != 0)
    {
        const auto done = files.FlushSummary();
        return done ? status : Fail(1, done.Reason());
    }
    const int written =
        WriteOutputs(setup, scale, tasks, results, seconds, heatmap ? &*heatmap : nullptr, files, outputs);
    return written != 0 ? written : status;
}

} // namespace tryzone
