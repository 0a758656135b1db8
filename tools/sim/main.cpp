#include "Heatmap.h"
#include "Options.h"
#include "Report.h"
#include "Simulation.h"
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
} // namespace

int main(int argc, char** argv)
{
    auto parsed = ParseOptions(argc, argv);
    if (const auto* reason = std::get_if<std::string>(&parsed))
    {
        return Fail(2, *reason + " (see --help)");
    }
    const Options options = std::get<Options>(parsed);
    if (options.help)
    {
        std::cout << HelpText();
        return 0;
    }

    std::string players;
    const auto records = LoadPlayers(options, players);
    if (!records)
    {
        return 2;
    }

    // Outputs are opened before the run, so that a wrong path fails at once and not after minutes of play.
    std::ofstream events;
    if (!options.eventsFile.empty())
    {
        events.open(options.eventsFile, std::ios::binary);
        if (!events)
        {
            return Fail(1, "cannot write " + options.eventsFile);
        }
    }
    std::ofstream json;
    if (!options.jsonFile.empty())
    {
        json.open(options.jsonFile, std::ios::binary);
        if (!json)
        {
            return Fail(1, "cannot write " + options.jsonFile);
        }
    }

    const std::uint64_t seed = options.seed.value_or(DrawSeed());
    std::optional<Heatmap> heatmap;
    if (!options.heatmapFile.empty())
    {
        heatmap.emplace(kPitchWidth, kPitchHeight);
    }
    SimulationPlan plan;
    plan.players = *records;
    plan.seed = seed;
    plan.matches = options.matches;
    plan.framesPerMatch = FramesFor(options.minutes);
    plan.events = events.is_open() ? &events : nullptr;
    plan.heatmap = heatmap ? &*heatmap : nullptr;
    plan.checkRules = options.checkRules;
    std::optional<ProgressBar> progress;
    if (isatty(STDERR_FILENO) != 0)
    {
        progress.emplace(plan.matches, plan.framesPerMatch);
        plan.progress = [&progress](int done, std::int64_t frames) { progress->Show(done, frames); };
    }

    std::cout << "TryZone simulation: " << plan.matches << (plan.matches == 1 ? " match" : " matches") << " of "
              << options.minutes << " minutes (" << plan.framesPerMatch << " frames each), seed " << seed << '\n'
              << "Players: " << (players == "defaults" ? "the ten defaults" : players) << "\n\n";

    const auto started = std::chrono::steady_clock::now();
    const std::vector<MatchResult> results = Simulate(plan);
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    if (progress)
    {
        progress->Clear();
    }

    if (results.size() <= 20)
    {
        for (const MatchResult& result : results)
        {
            std::cout << "Match " << result.match << ": Blue " << result.teams[0].tries << " - "
                      << result.teams[1].tries << " Red\n";
        }
        std::cout << '\n';
    }
    const Totals totals = Summarise(results);
    PrintSummary(std::cout, totals);

    int status = 0;
    if (options.checkRules)
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
            std::cout << "Rules checked after each of the " << totals.frames << " frames (" << hours.data()
                      << " simulated hours): none broken\n";
        }
    }
    if (json.is_open())
    {
        const RunDescription run{seed, players, plan.matches, options.minutes, plan.framesPerMatch};
        json << ResultsAsJson(run, results, totals).dump(2) << '\n';
        json.close();
        if (!json)
        {
            status = Fail(1, "cannot write " + options.jsonFile);
        }
    }
    if (events.is_open())
    {
        events.close();
        if (!events)
        {
            status = Fail(1, "cannot write " + options.eventsFile);
        }
    }
    if (heatmap && !heatmap->Save(options.heatmapFile, {plan.matches, seed}))
    {
        status = Fail(1, "cannot write " + options.heatmapFile);
    }

    // The one line that depends on the machine rather than on the seed.
    std::cout << "Speed: " << static_cast<long long>(static_cast<double>(totals.frames) / seconds)
              << " frames per second (" << seconds << " s)" << std::endl;
    return status;
}
