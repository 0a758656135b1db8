#include "cli/SimCommands.h"

#include "cli/SimReport.h"
#include "cli/TacticsCommands.h"
#include "core/GameHost.h"
#include "experiments/Plot.h"
#include "experiments/Run.h"
#include "experiments/Simulation.h"
#include "files/OutputFiles.h"
#include "files/StopSignals.h"
#include "reports/Report.h"
#include "run/MatchTimeline.h"
#include "shards/LeagueParts.h"
#include "shards/Shards.h"

#include <array>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <iostream>
#include <utility>

namespace tryzone
{

int Fail(int status, const std::string& reason)
{
    std::cerr << "tryzone-sim: " << reason << std::endl;
    return status;
}

int OpenOutputFiles(OutputFiles& files)
{
    if (const auto names = files.CheckNames(); !names)
    {
        return Fail(2, names.Reason());
    }
    const auto opened = files.Open();
    return opened ? 0 : Fail(1, opened.Reason());
}

std::string RoughDuration(double seconds)
{
    std::array<char, 32> text{};
    if (seconds < 90.0)
    {
        std::snprintf(text.data(), text.size(), "%.0f s", seconds);
    }
    else if (seconds < 90.0 * 60.0)
    {
        std::snprintf(text.data(), text.size(), "%.0f min", seconds / 60.0);
    }
    else if (seconds < 48.0 * 3600.0)
    {
        std::snprintf(text.data(), text.size(), "%.1f h", seconds / 3600.0);
    }
    else
    {
        std::snprintf(text.data(), text.size(), "%.1f days", seconds / 86400.0);
    }
    return text.data();
}

void PrintSpeed(std::ostream& out, long long frames, double seconds, const std::string& how,
                std::int64_t framesPerMatch, double minutes)
{
    out << "Speed: " << static_cast<long long>(static_cast<double>(frames) / seconds)
        << " frames per second of wall-clock time (" << seconds << " s" << how << ")\n";
    if (frames <= 0 || seconds <= 0.0 || framesPerMatch <= 0)
    {
        return;
    }
    // What a designer plans with: matches of this length, and how long a larger run of them would take here.
    const double matchSeconds = seconds * static_cast<double>(framesPerMatch) / static_cast<double>(frames);
    std::array<char, 32> perMinute{};
    std::snprintf(perMinute.data(), perMinute.size(), "%.*f", 60.0 / matchSeconds < 10.0 ? 2 : 1, 60.0 / matchSeconds);
    out << "Pace: " << perMinute.data() << " matches of " << minutes << (minutes == 1.0 ? " minute" : " minutes")
        << " per minute; at this pace 1000 matches take " << RoughDuration(1000.0 * matchSeconds) << ", 100000 take "
        << RoughDuration(100000.0 * matchSeconds) << "\n";
}

int WriteSweepFilesAndCommit(const RunSetup& setup, const std::vector<MatchResult>& results, int firstTask, Output* csv,
                             Output* plot, OutputFiles& files)
{
    std::optional<std::string> chartFailure;
    if (setup.variation)
    {
        const auto rows = SweepRows(*setup.variation, setup.matches, firstTask, results);
        if (csv != nullptr)
        {
            csv->Stream() << SweepCsv(*setup.variation, rows);
        }
        if (plot != nullptr)
        {
            auto chart = PlotSweep(*setup.variation, setup.matches, rows);
            if (chart)
            {
                plot->Stream() << *chart;
            }
            else
            {
                chartFailure = chart.Reason();
            }
        }
    }
    if (const int signal = StopSignal(); signal != 0)
    {
        files.Summary() << "Interrupted: no file written\n";
        const auto done = files.FlushSummary();
        return done ? 128 + signal : Fail(1, done.Reason());
    }
    if (chartFailure)
    {
        files.Drop(*plot);
    }
    if (const auto done = files.Commit(); !done)
    {
        return Fail(1, done.Reason());
    }
    return chartFailure ? Fail(1, *chartFailure + "; the other files are written") : 0;
}

int MergeCommand(const ScaleOptions& scale)
{
    if (!scale.parts.empty() && IsLeaguePart(scale.parts.front()))
    {
        return LeagueMergeCommand(scale);
    }
    OutputFiles files;
    for (const std::string& part : scale.parts)
    {
        files.AddInput("a part to merge", part, true);
    }
    Output* json = scale.mergeJson.empty() ? nullptr : &files.Add("--json", scale.mergeJson, OutputKind::Text);
    Output* csv = scale.mergeCsv.empty() ? nullptr : &files.Add("--csv", scale.mergeCsv, OutputKind::Text);
    Output* plot = scale.mergePlot.empty() ? nullptr : &files.Add("--plot", scale.mergePlot, OutputKind::Picture);
    Output* heatmap =
        scale.mergeHeatmap.empty() ? nullptr : &files.Add("--heatmap", scale.mergeHeatmap, OutputKind::Picture);
    // Before any part is read: a FIFO among them would block, an output among them would be lost.
    if (const auto names = files.CheckNames(); !names)
    {
        return Fail(2, names.Reason());
    }
    auto merged = MergeParts(scale.parts, scale.anyBuild, scale.replayAll);
    if (const int signal = StopSignal(); signal != 0)
    {
        std::cout << "Interrupted: no file written" << std::endl;
        return 128 + signal;
    }
    if (!merged)
    {
        return Fail(2, merged.Reason());
    }
    const MergedRun& run = *merged;
    if (!run.setup.variation && (csv != nullptr || plot != nullptr))
    {
        return Fail(2, "--csv and --plot need the parts of a sweep (--vary)");
    }
    if (run.setup.variation && heatmap != nullptr)
    {
        return Fail(2, "--heatmap needs the parts of a run without --vary, as a run does");
    }
    if (const int status = OpenOutputFiles(files); status != 0)
    {
        return status;
    }
    std::ostream& out = files.Summary();
    if (const int signal = StopSignal(); signal != 0)
    {
        out << "Interrupted: no file written\n";
        const auto done = files.FlushSummary();
        return done ? 128 + signal : Fail(1, done.Reason());
    }

    PrintHeader(out, run.setup);
    PrintResults(out, run.setup, run.results, 0, json != nullptr);
    PrintRulesKept(out, run.setup, run.results);
    PrintSpeed(out, run.frames, run.seconds, " in the parts, added up", run.setup.framesPerMatch, run.setup.minutes);
    int status = 0;
    if (const auto breach = BreachReport(run.setup, run.results))
    {
        status = Fail(3, *breach);
    }
    if (json != nullptr)
    {
        json->Stream() << RunAsJson(run.setup, run.results).dump(2) << '\n';
    }
    if (heatmap != nullptr)
    {
        try
        {
            heatmap->Stream() << run.heatmap.EncodePng({static_cast<int>(run.results.size()), run.setup.seed});
        }
        catch (const std::runtime_error& error)
        {
            return Fail(1, "cannot draw " + heatmap->Name() + ": " + error.what());
        }
    }
    const int written = WriteSweepFilesAndCommit(run.setup, run.results, 0, csv, plot, files);
    return written != 0 ? written : status;
}

SimOutputs AddSimOutputs(const Options& options, const ScaleOptions& scale, OutputFiles& files)
{
    // The default settings file is the gate's input always, even before it exists.
    if (options.settingsGiven)
    {
        files.AddInput("--settings", options.settings);
    }
    const auto add = [&files](const char* option, const std::string& path, OutputKind kind) -> Output*
    { return path.empty() ? nullptr : &files.Add(option, path, kind); };
    SimOutputs outputs;
    outputs.events = add("--events", options.eventsFile, OutputKind::Text);
    outputs.json = add("--json", options.jsonFile, OutputKind::Text);
    outputs.heatmap = add("--heatmap", options.heatmapFile, OutputKind::Picture);
    outputs.csv = add("--csv", scale.csvFile, OutputKind::Text);
    outputs.plot = add("--plot", scale.plotFile, OutputKind::Picture);
    return outputs;
}

int ReplayCommand(const std::string& path, OutputFiles& files, const SimOutputs& outputs)
{
    auto read = ReadRecording(path);
    if (!read)
    {
        return Fail(2, read.Reason());
    }
    const Recording& recording = *read;
    if (!recording.warning.empty())
    {
        std::cerr << "tryzone-sim: " << recording.warning << std::endl;
    }
    // The recorded orders play every frame replayed, so brains that no longer read (a policy file elsewhere) are
    // only not named in the report.
    RunSetup setup;
    if (!recording.brains.is_null())
    {
        auto brains = BrainPlanFromJson(recording.brains);
        if (brains)
        {
            setup.brains = *brains;
        }
        else
        {
            std::cerr << "tryzone-sim: " << path << ": " << brains.Reason() << "; the recorded orders play on"
                      << std::endl;
        }
    }
    std::ostream& out = files.Summary();
    out << "TryZone replay of " << path << ": " << recording.lastFrame << " frames, seed " << recording.seed << "\n\n";
    Output* events = outputs.events;
    // The match's own console lines ("joueur non valide") join the summary, off standard output when it carries data.
    GameHost& host = GameHost::Instance();
    std::ostream* const console = std::exchange(host.console, &out);
    const std::vector<MatchResult> results =
        ReplayHeadless(recording, events != nullptr ? &events->Stream() : nullptr, &StopSignal());
    host.console = console;
    if (events != nullptr && events->Error() != 0)
    {
        return Fail(1, "cannot write " + events->Name() + ": " + std::strerror(events->Error()));
    }
    // Stopped between two frames by a signal, like any run: no file is replaced, and the summary says so.
    if (const int signal = StopSignal(); signal != 0)
    {
        out << "Interrupted: no file written\n";
        const auto done = files.FlushSummary();
        return done ? 128 + signal : Fail(1, done.Reason());
    }
    setup.seed = recording.seed;
    setup.players = path;
    setup.matches = static_cast<int>(results.size());
    setup.minutes = static_cast<double>(recording.lastFrame) * kFrameSeconds / 60.0;
    setup.framesPerMatch = recording.lastFrame;
    PrintResults(out, setup, results, 0, outputs.json != nullptr);
    if (outputs.json != nullptr)
    {
        outputs.json->Stream() << RunAsJson(setup, results).dump(2) << '\n';
    }
    if (const auto done = files.Commit(); !done)
    {
        return Fail(1, done.Reason());
    }
    return 0;
}

} // namespace tryzone
