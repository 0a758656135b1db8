#include "Run.h"

#include "play/MatchRunner.h"

#include <algorithm>
#include <array>
#include <cstdio>

namespace
{
RunDescription Description(const RunSpec& spec)
{
    return {spec.seed, spec.players, spec.matches, spec.minutes, spec.framesPerMatch};
}
} // namespace

int TaskTotal(const RunSpec& spec)
{
    return spec.matches * (spec.variation ? static_cast<int>(spec.variation->values.size()) : 1);
}

void PrintHeader(std::ostream& out, const RunSpec& spec)
{
    const std::string matches = std::to_string(spec.matches) + (spec.matches == 1 ? " match" : " matches");
    if (spec.variation)
    {
        out << "TryZone sweep: " << DescribeVariation(*spec.variation) << ", " << matches << " of " << spec.minutes
            << " minutes (" << spec.framesPerMatch << " frames each) per value, seed " << spec.seed
            << "; every value plays the same match seeds\n";
    }
    else
    {
        out << "TryZone simulation: " << matches << " of " << spec.minutes << " minutes (" << spec.framesPerMatch
            << " frames each), seed " << spec.seed << '\n';
    }
    out << "Players: " << (spec.players == "defaults" ? "the ten defaults" : spec.players) << "\n\n";
}

void PrintResults(std::ostream& out, const RunSpec& spec, const std::vector<MatchResult>& results, int firstTask,
                  bool inJson)
{
    if (spec.variation)
    {
        PrintSweep(out, *spec.variation, SweepRows(*spec.variation, spec.matches, firstTask, results));
        out << '\n';
        return;
    }
    if (results.empty())
    {
        return;
    }
    constexpr std::size_t kListed = 20;
    const std::size_t listed = std::min(results.size(), kListed);
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
    PrintSummary(out, Summarise(results));
}

void PrintRulesKept(std::ostream& out, const RunSpec& spec, const std::vector<MatchResult>& results)
{
    if (!spec.checkRules || (!results.empty() && results.back().breach))
    {
        return;
    }
    long long frames = 0;
    for (const MatchResult& result : results)
    {
        frames += result.frames;
    }
    std::array<char, 32> hours{};
    std::snprintf(hours.data(), hours.size(), "%.2f", SimulatedHours(frames));
    out << "Rules checked after each of the " << frames << " frames (" << hours.data()
        << " simulated hours): none broken\n";
}

std::optional<std::string> BreachReport(const RunSpec& spec, const std::vector<MatchResult>& results, int firstTask)
{
    if (results.empty() || !results.back().breach)
    {
        return std::nullopt;
    }
    const MatchResult& last = results.back();
    std::string value;
    if (spec.variation)
    {
        const auto task = static_cast<std::size_t>(firstTask) + results.size() - 1;
        value = " with " + spec.variation->key + " " +
                FloatText(spec.variation->values[task / static_cast<std::size_t>(spec.matches)]);
    }
    return "rule broken in match " + std::to_string(last.match) + value + " (seed " + std::to_string(last.seed) +
           "), frame " + std::to_string(last.breach->frame) + ": " + last.breach->rule;
}

nlohmann::ordered_json RunAsJson(const RunSpec& spec, const std::vector<MatchResult>& results)
{
    if (spec.variation)
    {
        return SweepAsJson(Description(spec), *spec.variation, SweepRows(*spec.variation, spec.matches, 0, results));
    }
    return ResultsAsJson(Description(spec), results, Summarise(results));
}
