#include "Heatmap.h"
#include "Interrupt.h"
#include "Options.h"
#include "OutputFiles.h"
#include "Report.h"
#include "Simulation.h"
#include "play/MatchTimeline.h"
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

// The results of the matches played, as lines of the summary.
void PrintMatches(std::ostream& out, const std::vector<MatchResult>& results, bool inJson)
{
    constexpr std::size_t kListed = 20;
    const std::size_t listed = results.size() <= kListed ? results.size() : kListed;
    for (std::size_t i = 0; i < listed; ++i)
    {
        out << "Match " << results[i].match << ": Blue " << results[i].teams[0].tries << " - "
            << results[i].teams[1].tries << " Red\n";
    }
    if (listed < results.size())
    {
        out << "\u2026 " << results.size() - listed << " more " << (inJson ? "in the JSON" : "(--json lists them all)")
            << '\n';
    }
    out << '\n';
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
    const Totals totals = Summarise(results);
    PrintMatches(out, results, json != nullptr);
    PrintSummary(out, totals);
    if (json != nullptr)
    {
        const RunDescription run{recording.seed, path, static_cast<int>(results.size()),
                                 static_cast<double>(recording.lastFrame) * kFrameSeconds / 60.0, recording.lastFrame};
        json->Stream() << ResultsAsJson(run, results, totals).dump(2) << '\n';
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
    const auto commandLine = MakeCommandLine(options);
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
        ->excludes("--check");
    if (const auto status = ParseCommandLine(*commandLine, argc, argv))
    {
        return *status;
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

    const std::uint64_t seed = options.seed.value_or(DrawSeed());
    std::optional<Heatmap> heatmap;
    if (picture != nullptr)
    {
        heatmap.emplace(kPitchWidth, kPitchHeight);
    }
    SimulationPlan plan;
    plan.players = *records;
    plan.seed = seed;
    plan.matches = options.matches;
    plan.framesPerMatch = FramesFor(options.minutes);
    plan.events = events != nullptr ? &events->Stream() : nullptr;
    plan.heatmap = heatmap ? &*heatmap : nullptr;
    plan.checkRules = options.checkRules;
    plan.stop = &StopSignal();
    std::optional<ProgressBar> progress;
    if (isatty(STDERR_FILENO) != 0)
    {
        progress.emplace(plan.matches, plan.framesPerMatch);
        plan.progress = [&progress](int done, std::int64_t frames) { progress->Show(done, frames); };
    }

    std::ostream& out = files.Summary();
    out << "TryZone simulation: " << plan.matches << (plan.matches == 1 ? " match" : " matches") << " of "
        << options.minutes << " minutes (" << plan.framesPerMatch << " frames each), seed " << seed << '\n'
        << "Players: " << (players == "defaults" ? "the ten defaults" : players) << "\n\n";
    // A summary that cannot be shown stops the run before it starts.
    if (const auto failure = files.FlushSummary())
    {
        return Fail(failure->status, failure->reason);
    }

    const auto started = std::chrono::steady_clock::now();
    const std::vector<MatchResult> results = Simulate(plan);
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
    const Totals totals = Summarise(results);
    if (!results.empty())
    {
        PrintMatches(out, results, json != nullptr && stopSignal == 0);
        PrintSummary(out, totals);
    }

    int status = 0;
    if (stopSignal != 0)
    {
        out << "Interrupted after " << results.size() << " of " << plan.matches << " matches: no file written\n";
        status = 128 + stopSignal;
    }
    else if (options.checkRules)
    {
        const MatchResult& last = results.back();
        if (last.breach)
        {
            status =
                Fail(3, "rule broken in match " + std::to_string(last.match) + " (seed " + std::to_string(last.seed) +
                            "), frame " + std::to_string(last.breach->frame) + ": " + last.breach->rule);
        }
        else
        {
            std::array<char, 32> hours{};
            std::snprintf(hours.data(), hours.size(), "%.2f", SimulatedHours(totals.frames));
            out << "Rules checked after each of the " << totals.frames << " frames (" << hours.data()
                << " simulated hours): none broken\n";
        }
    }

    // The one line that depends on the machine rather than on the seed.
    out << "Speed: " << static_cast<long long>(static_cast<double>(totals.frames) / seconds)
        << " frames per second of wall-clock time (" << seconds << " s)\n";
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
        const RunDescription run{seed, players, plan.matches, options.minutes, plan.framesPerMatch};
        json->Stream() << ResultsAsJson(run, results, totals).dump(2) << '\n';
    }
    if (heatmap)
    {
        try
        {
            picture->Stream() << heatmap->EncodePng({plan.matches, seed});
        }
        catch (const std::runtime_error& error)
        {
            return Fail(1, "cannot draw " + options.heatmapFile + ": " + error.what());
        }
    }
    if (const auto failure = files.Commit())
    {
        return Fail(failure->status, failure->reason);
    }
    return status;
}
