#include "batch/Heatmap.h"
#include "batch/Interrupt.h"
#include "cli/Options.h"
#include "batch/OutputFiles.h"
#include "batch/Plot.h"
#include "batch/Report.h"
#include "batch/Run.h"
#include "cli/ScaleOptions.h"
#include "batch/Shards.h"
#include "batch/Simulation.h"
#include "batch/Sweep.h"
#include "run/MatchTimeline.h"
#include "settings/PlayersConfig.h"

#include <array>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <iostream>
#include <optional>
#include <random>
#include <unistd.h>

namespace
{
int Fail(int status, const std::string& reason)
{
    std::cerr << "tryzone-sim: " << reason << std::endl;
    return status;
}

// The players as the game would field them, except that nothing is ever written: a file that does not load is an
// error here, and no file at the default place means the defaults.
std::optional<std::vector<PlayerSettings>> LoadPlayers(const Options& options, std::string& description)
{
    const auto defaults = DefaultPlayers();
    if (!options.settingsGiven && !std::filesystem::exists(options.settings))
    {
        description = "defaults";
        return std::vector<PlayerSettings>(defaults.begin(), defaults.end());
    }
    PlayersConfig config(options.settings);
    if (!config.Load())
    {
        return std::nullopt;
    }
    config.CompleteFrom(defaults);
    description = options.settings;
    return config.records;
}

std::uint64_t DrawSeed()
{
    std::random_device device;
    return (static_cast<std::uint64_t>(device()) << 32) | device();
}

// One line on standard error, redrawn in place: matches done, speed, time left.
class ProgressBar
{
public:
    ProgressBar(int matchCount, std::int64_t framesPerMatch)
        : matches(matchCount), frames(framesPerMatch), start(std::chrono::steady_clock::now())
    {
    }

    void Show(int matchesDone, std::int64_t framesOfCurrent)
    {
        const double done =
            static_cast<double>(matchesDone) * static_cast<double>(frames) + static_cast<double>(framesOfCurrent);
        const double all = static_cast<double>(matches) * static_cast<double>(frames);
        const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        const double speed = seconds > 0.0 ? done / seconds : 0.0;
        const double left = speed > 0.0 ? (all - done) / speed : 0.0;
        constexpr int kBarWidth = 30;
        const int filled = static_cast<int>(kBarWidth * done / all);
        std::fprintf(stderr, "\r[%-*.*s] %d/%d matches, %.0f frames/s, %.0f s left  ", kBarWidth, filled,
                     "##############################", matchesDone, matches, speed, left);
        std::fflush(stderr);
    }

    void Clear()
    {
        std::fprintf(stderr, "\r%*s\r", 90, "");
        std::fflush(stderr);
    }

private:
    int matches;
    std::int64_t frames;
    std::chrono::steady_clock::time_point start;
};

// The line that depends on the machine rather than on the seed; always the last.
void PrintSpeed(std::ostream& out, long long frames, double seconds, const std::string& how)
{
    out << "Speed: " << static_cast<long long>(static_cast<double>(frames) / seconds)
        << " frames per second of wall-clock time (" << seconds << " s" << how << ")\n";
}

long long FramesOf(const std::vector<MatchResult>& results)
{
    long long frames = 0;
    for (const MatchResult& result : results)
    {
        frames += result.frames;
    }
    return frames;
}

// The sweep's table as CSV and its chart, into outputs that may be null; the failure, if any.
std::optional<Failure> WriteSweepFiles(const RunSetup& setup, const std::vector<MatchResult>& results, int firstTask,
                                       Output* csv, Output* plot)
{
    if (!setup.variation)
    {
        return std::nullopt;
    }
    const auto rows = SweepRows(*setup.variation, setup.matches, firstTask, results);
    if (csv != nullptr)
    {
        csv->Stream() << SweepCsv(*setup.variation, rows);
    }
    if (plot != nullptr)
    {
        std::string png;
        if (auto failure = PlotSweep(*setup.variation, setup.matches, rows, png))
        {
            return Failure{1, *failure};
        }
        plot->Stream() << png;
    }
    return std::nullopt;
}

int Merge(const ScaleOptions& scale)
{
    OutputFiles files;
    for (const std::string& part : scale.parts)
    {
        files.AddInput("merge", part);
    }
    Output* json = scale.mergeJson.empty() ? nullptr : &files.Add("--json", scale.mergeJson, OutputKind::Text);
    Output* csv = scale.mergeCsv.empty() ? nullptr : &files.Add("--csv", scale.mergeCsv, OutputKind::Text);
    Output* plot = scale.mergePlot.empty() ? nullptr : &files.Add("--plot", scale.mergePlot, OutputKind::Picture);
    auto merged = MergeParts(scale.parts);
    if (const auto* reason = std::get_if<std::string>(&merged))
    {
        return Fail(2, *reason);
    }
    const MergedRun& run = std::get<MergedRun>(merged);
    if (!run.setup.variation && (csv != nullptr || plot != nullptr))
    {
        return Fail(2, "--csv and --plot need the parts of a sweep (--vary)");
    }
    if (const auto failure = files.Open())
    {
        return Fail(failure->status, failure->reason);
    }

    std::ostream& out = files.Summary();
    PrintHeader(out, run.setup);
    PrintResults(out, run.setup, run.results, 0, json != nullptr);
    PrintRulesKept(out, run.setup, run.results);
    PrintSpeed(out, run.frames, run.seconds, " in the parts, added up");
    int status = 0;
    if (const auto breach = BreachReport(run.setup, run.results))
    {
        status = Fail(3, *breach);
    }
    if (json != nullptr)
    {
        json->Stream() << RunAsJson(run.setup, run.results).dump(2) << '\n';
    }
    if (auto failure = WriteSweepFiles(run.setup, run.results, 0, csv, plot))
    {
        return Fail(failure->status, failure->reason);
    }
    if (const auto failure = files.Commit())
    {
        return Fail(failure->status, failure->reason);
    }
    return status;
}

// A recording of the game played headless to its last frame, with the same event log as in the window.
int Replay(const std::string& path, OutputFiles& files, Output* events, Output* json)
{
    auto read = ReadRecording(path);
    if (const auto* reason = std::get_if<std::string>(&read))
    {
        return Fail(2, *reason);
    }
    const Recording& recording = std::get<Recording>(read);
    if (!recording.warning.empty())
    {
        std::cerr << "tryzone-sim: " << recording.warning << std::endl;
    }
    std::ostream& out = files.Summary();
    out << "TryZone replay of " << path << ": " << recording.lastFrame << " frames, seed " << recording.seed << "\n\n";
    const std::vector<MatchResult> results = ReplayHeadless(recording, events != nullptr ? &events->Stream() : nullptr);
    if (events != nullptr && events->Error() != 0)
    {
        return Fail(1, "cannot write " + events->Name() + ": " + std::strerror(events->Error()));
    }
    // A replay is not stopped part-way; a signal that came meanwhile still leaves no file replaced.
    if (const int signal = StopSignal(); signal != 0)
    {
        return 128 + signal;
    }
    RunSetup setup;
    setup.seed = recording.seed;
    setup.players = path;
    setup.matches = static_cast<int>(results.size());
    setup.minutes = static_cast<double>(recording.lastFrame) * kFrameSeconds / 60.0;
    setup.framesPerMatch = recording.lastFrame;
    PrintResults(out, setup, results, 0, json != nullptr);
    if (json != nullptr)
    {
        json->Stream() << RunAsJson(setup, results).dump(2) << '\n';
    }
    if (const auto failure = files.Commit())
    {
        return Fail(failure->status, failure->reason);
    }
    return 0;
}
} // namespace

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
        ->excludes("--brain")
        ->excludes("--vary")
        ->excludes("--shard");
    if (const auto status = ParseCommandLine(*commandLine, argc, argv))
    {
        return *status;
    }
    if (scale.merge->parsed())
    {
        return Merge(scale);
    }

    // Handled from before the first temporary file exists to the end, so that none is ever left behind.
    CatchStopSignals();
    OutputFiles files;
    const bool settingsRead = options.settingsGiven || std::filesystem::exists(options.settings);
    if (settingsRead)
    {
        files.AddInput("--settings", options.settings);
    }
    Output* events =
        options.eventsFile.empty() ? nullptr : &files.Add("--events", options.eventsFile, OutputKind::Text);
    Output* json = options.jsonFile.empty() ? nullptr : &files.Add("--json", options.jsonFile, OutputKind::Text);
    Output* picture =
        options.heatmapFile.empty() ? nullptr : &files.Add("--heatmap", options.heatmapFile, OutputKind::Picture);
    Output* csv = scale.csvFile.empty() ? nullptr : &files.Add("--csv", scale.csvFile, OutputKind::Text);
    Output* plot = scale.plotFile.empty() ? nullptr : &files.Add("--plot", scale.plotFile, OutputKind::Picture);
    if (!replay.empty())
    {
        files.AddInput("--replay", replay);
    }
    // Nothing is played before every output is known to be writable and none of them is an input.
    if (const auto failure = files.Open())
    {
        return Fail(failure->status, failure->reason);
    }
    if (!replay.empty())
    {
        return Replay(replay, files, events, json);
    }

    if (picture != nullptr)
    {
        try
        {
            static_cast<void>(Heatmap::FontFile());
        }
        catch (const std::runtime_error& error)
        {
            return Fail(1, "cannot draw " + options.heatmapFile + ": " + error.what());
        }
    }

    std::string players;
    const auto records = LoadPlayers(options, players);
    if (!records)
    {
        return 2;
    }

    RunSetup setup;
    setup.seed = options.seed.value_or(DrawSeed());
    setup.players = players;
    setup.lineup = *records;
    setup.matches = options.matches;
    setup.minutes = options.minutes;
    setup.framesPerMatch = FramesFor(options.minutes);
    setup.checkRules = options.checkRules;
    setup.brains = Describe(options.brains);
    setup.variation = scale.variation;
    const TaskRange tasks = scale.shard ? ShardTasks(*scale.shard, TaskTotal(setup)) : TaskRange{0, TaskTotal(setup)};

    std::optional<Heatmap> heatmap;
    if (picture != nullptr)
    {
        heatmap.emplace(kPitchWidth, kPitchHeight);
    }
    SimulationPlan plan;
    plan.players = *records;
    if (setup.variation)
    {
        plan.lineups = Lineups(*setup.variation, *records);
    }
    plan.seed = setup.seed;
    plan.matches = setup.matches;
    plan.framesPerMatch = setup.framesPerMatch;
    plan.firstTask = tasks.first;
    plan.taskCount = tasks.count;
    plan.jobs = scale.jobs;
    plan.events = events != nullptr ? &events->Stream() : nullptr;
    plan.heatmap = heatmap ? &*heatmap : nullptr;
    plan.checkRules = setup.checkRules;
    plan.brains = options.brains;
    plan.stop = &StopSignal();
    std::optional<ProgressBar> progress;
    if (isatty(STDERR_FILENO) != 0)
    {
        progress.emplace(tasks.count, plan.framesPerMatch);
        plan.progress = [&progress](int done, std::int64_t frames) { progress->Show(done, frames); };
    }

    std::ostream& out = files.Summary();
    PrintHeader(out, setup);
    if (scale.shard)
    {
        out << "Shard " << scale.shard->index << " of " << scale.shard->count << ": ";
        if (tasks.count == 0)
        {
            out << "no matches (the run has " << TaskTotal(setup) << ")\n\n";
        }
        else
        {
            out << "matches " << tasks.first + 1 << " to " << tasks.first + tasks.count << " of the run's "
                << TaskTotal(setup) << (setup.variation ? ", counted value after value\n\n" : "\n\n");
        }
    }
    // A summary that cannot be shown stops the run before it starts.
    if (const auto failure = files.FlushSummary())
    {
        return Fail(failure->status, failure->reason);
    }

    const auto started = std::chrono::steady_clock::now();
    std::vector<MatchResult> results;
    try
    {
        results = Simulate(plan);
    }
    catch (const SimulationFailure& failure)
    {
        if (progress)
        {
            progress->Clear();
        }
        return Fail(1, failure.what());
    }
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    if (progress)
    {
        progress->Clear();
    }

    const int stopSignal = StopSignal();
    if (events != nullptr && events->Error() != 0)
    {
        return Fail(1, "cannot write " + events->Name() + ": " + std::strerror(events->Error()));
    }
    PrintResults(out, setup, results, tasks.first, json != nullptr && stopSignal == 0);

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
    PrintSpeed(out, FramesOf(results), seconds, "");
    if (stopSignal != 0)
    {
        if (const auto failure = files.FlushSummary())
        {
            return Fail(failure->status, failure->reason);
        }
        return status;
    }

    if (json != nullptr)
    {
        const auto document =
            scale.shard ? PartAsJson(setup, *scale.shard, results, seconds) : RunAsJson(setup, results);
        json->Stream() << document.dump(2) << '\n';
    }
    if (heatmap)
    {
        try
        {
            picture->Stream() << heatmap->EncodePng({static_cast<int>(results.size()), setup.seed});
        }
        catch (const std::runtime_error& error)
        {
            return Fail(1, "cannot draw " + options.heatmapFile + ": " + error.what());
        }
    }
    if (auto failure = WriteSweepFiles(setup, results, tasks.first, csv, plot))
    {
        return Fail(failure->status, failure->reason);
    }
    if (const auto failure = files.Commit())
    {
        return Fail(failure->status, failure->reason);
    }
    return status;
}
