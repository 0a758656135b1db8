#include "Heatmap.h"
#include "Options.h"
#include "Plot.h"
#include "Report.h"
#include "Run.h"
#include "ScaleOptions.h"
#include "Shards.h"
#include "Simulation.h"
#include "Sweep.h"
#include "settings/PlayersConfig.h"

#include <array>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
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

// An output opened before the run, so that a wrong path fails at once and not after minutes of play.
bool Open(std::ofstream& stream, const std::string& file)
{
    if (!file.empty())
    {
        stream.open(file, std::ios::binary);
        return static_cast<bool>(stream);
    }
    return true;
}

// Writes the text and closes the stream; true when there was nothing to write or all of it was written.
bool Finish(std::ofstream& stream, const std::string& text)
{
    if (!stream.is_open())
    {
        return true;
    }
    stream << text;
    stream.close();
    return static_cast<bool>(stream);
}

void PrintSpeed(std::ostream& out, long long frames, double seconds, const std::string& how)
{
    // The one line that depends on the machine rather than on the seed.
    out << "Speed: " << static_cast<long long>(static_cast<double>(frames) / seconds) << " frames per second ("
        << seconds << " s" << how << ")" << std::endl;
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

struct SweepFiles
{
    std::string csv;
    std::string plot;
};

// The sweep's table as CSV and its chart, when asked for; the exit status.
int WriteSweepFiles(const RunSpec& spec, const std::vector<MatchResult>& results, int firstTask, std::ofstream& csv,
                    const SweepFiles& files)
{
    if (!spec.variation)
    {
        return 0;
    }
    const auto rows = SweepRows(*spec.variation, spec.matches, firstTask, results);
    int status = 0;
    if (!Finish(csv, SweepCsv(*spec.variation, rows)))
    {
        status = Fail(1, "cannot write " + files.csv);
    }
    if (!files.plot.empty())
    {
        if (const auto failure = PlotSweep(*spec.variation, spec.matches, rows, files.plot))
        {
            status = Fail(1, *failure);
        }
    }
    return status;
}

int Merge(const ScaleOptions& scale)
{
    auto merged = MergeParts(scale.parts);
    if (const auto* reason = std::get_if<std::string>(&merged))
    {
        return Fail(2, *reason);
    }
    const MergedRun& run = std::get<MergedRun>(merged);
    if (!run.spec.variation && (!scale.mergeCsv.empty() || !scale.mergePlot.empty()))
    {
        return Fail(2, "--csv and --plot need the parts of a sweep (--vary)");
    }
    std::ofstream json;
    std::ofstream csv;
    if (!Open(json, scale.mergeJson) || !Open(csv, scale.mergeCsv))
    {
        return Fail(1,
                    "cannot write " + (json.is_open() || scale.mergeJson.empty() ? scale.mergeCsv : scale.mergeJson));
    }

    PrintHeader(std::cout, run.spec);
    PrintResults(std::cout, run.spec, run.results);
    int status = 0;
    if (const auto breach = BreachReport(run.spec, run.results))
    {
        status = Fail(3, *breach);
    }
    if (!Finish(json, RunAsJson(run.spec, run.results).dump(2) + "\n"))
    {
        status = Fail(1, "cannot write " + scale.mergeJson);
    }
    if (const int written = WriteSweepFiles(run.spec, run.results, 0, csv, {scale.mergeCsv, scale.mergePlot}))
    {
        status = written;
    }
    PrintSpeed(std::cout, run.frames, run.seconds, ", the parts' times added up");
    return status;
}
} // namespace

int main(int argc, char** argv)
{
    Options options;
    ScaleOptions scale;
    const auto commandLine = MakeCommandLine(options);
    AddScaleOptions(*commandLine, scale);
    if (const auto status = ParseCommandLine(*commandLine, argc, argv))
    {
        return *status;
    }
    if (scale.merge->parsed())
    {
        return Merge(scale);
    }

    std::string players;
    const auto records = LoadPlayers(options, players);
    if (!records)
    {
        return 2;
    }

    std::ofstream events;
    std::ofstream json;
    std::ofstream csv;
    for (const auto& [stream, file] : {std::pair<std::ofstream*, const std::string*>{&events, &options.eventsFile},
                                       {&json, &options.jsonFile},
                                       {&csv, &scale.csvFile}})
    {
        if (!Open(*stream, *file))
        {
            return Fail(1, "cannot write " + *file);
        }
    }

    RunSpec spec;
    spec.seed = options.seed.value_or(DrawSeed());
    spec.players = players;
    spec.lineup = *records;
    spec.matches = options.matches;
    spec.minutes = options.minutes;
    spec.framesPerMatch = FramesFor(options.minutes);
    spec.checkRules = options.checkRules;
    spec.variation = scale.variation;
    const TaskRange tasks = scale.shard ? ShardTasks(*scale.shard, TaskTotal(spec)) : TaskRange{0, TaskTotal(spec)};

    std::optional<Heatmap> heatmap;
    if (!options.heatmapFile.empty())
    {
        heatmap.emplace(kPitchWidth, kPitchHeight);
    }
    SimulationPlan plan;
    plan.players = *records;
    if (spec.variation)
    {
        plan.lineups = Lineups(*spec.variation, *records);
    }
    plan.seed = spec.seed;
    plan.matches = spec.matches;
    plan.framesPerMatch = spec.framesPerMatch;
    plan.firstTask = tasks.first;
    plan.taskCount = tasks.count;
    plan.jobs = scale.jobs;
    plan.events = events.is_open() ? &events : nullptr;
    plan.heatmap = heatmap ? &*heatmap : nullptr;
    plan.checkRules = spec.checkRules;
    std::optional<ProgressBar> progress;
    if (isatty(STDERR_FILENO) != 0)
    {
        progress.emplace(tasks.count, plan.framesPerMatch);
        plan.progress = [&progress](int done, std::int64_t frames) { progress->Show(done, frames); };
    }

    PrintHeader(std::cout, spec);
    if (scale.shard)
    {
        std::cout << "Shard " << scale.shard->index << " of " << scale.shard->count << ": ";
        if (tasks.count == 0)
        {
            std::cout << "no matches (the run has " << TaskTotal(spec) << ")\n\n";
        }
        else
        {
            std::cout << "matches " << tasks.first + 1 << " to " << tasks.first + tasks.count << " of the run's "
                      << TaskTotal(spec) << (spec.variation ? " (counted value after value)\n\n" : "\n\n");
        }
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

    PrintResults(std::cout, spec, results, tasks.first);
    int status = 0;
    if (const auto breach = BreachReport(spec, results, tasks.first))
    {
        status = Fail(3, *breach);
    }
    const auto document = [&]()
    { return scale.shard ? PartAsJson(spec, *scale.shard, results, seconds) : RunAsJson(spec, results); };
    if (!Finish(json, json.is_open() ? document().dump(2) + "\n" : ""))
    {
        status = Fail(1, "cannot write " + options.jsonFile);
    }
    if (!Finish(events, ""))
    {
        status = Fail(1, "cannot write " + options.eventsFile);
    }
    if (heatmap && !heatmap->Save(options.heatmapFile))
    {
        status = Fail(1, "cannot write " + options.heatmapFile);
    }
    if (const int written = WriteSweepFiles(spec, results, tasks.first, csv, {scale.csvFile, scale.plotFile}))
    {
        status = written;
    }
    PrintSpeed(std::cout, FramesOf(results), seconds, "");
    return status;
}
