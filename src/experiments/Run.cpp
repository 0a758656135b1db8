#include "experiments/Run.h"

#include "laws/Laws.h"
#include "run/MatchRunner.h"
#include "tactics/TacticsFile.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <sstream>

namespace tryzone
{

namespace
{
RunDescription Description(const RunSetup& setup)
{
    return {setup.seed,
            setup.players,
            setup.matches,
            setup.minutes,
            setup.framesPerMatch,
            {setup.teams[0].tactic.get(), setup.teams[1].tactic.get()}};
}
} // namespace

void PrintHeader(std::ostream& out, const RunSetup& setup)
{
    const std::string matches = std::to_string(setup.matches) + (setup.matches == 1 ? " match" : " matches");
    std::ostringstream length;
    length << setup.minutes << (setup.minutes == 1.0 ? " minute (" : " minutes (") << setup.framesPerMatch
           << (setup.framesPerMatch == 1 ? " frame" : " frames");
    if (setup.variation)
    {
        out << "TryZone sweep: " << DescribeVariation(*setup.variation) << ", " << matches << " of " << length.str()
            << " each) per value, seed " << setup.seed << "; every value plays the same match seeds\n";
    }
    else
    {
        out << "TryZone simulation: " << matches << " of " << length.str() << " each), seed " << setup.seed << '\n';
    }
    out << "Players: " << (setup.players == "defaults" ? "the ten defaults" : setup.players) << '\n';
    if (!setup.brains.Empty())
    {
        out << "Brains: " << Describe(setup.brains) << '\n';
    }
    if (setup.HasTactics())
    {
        const auto name = [](const TeamSetup& team)
        { return team.tactic == nullptr ? std::string("default") : team.tacticsFile; };
        out << "Tactics: blue " << name(setup.teams[0]) << ", red " << name(setup.teams[1]) << '\n';
    }
    if (setup.HasLaws())
    {
        out << "Laws: " << setup.lawsFile << '\n';
    }
    out << '\n';
}

void PrintResults(std::ostream& out, const RunSetup& setup, const std::vector<MatchResult>& results, int firstTask,
                  bool inJson)
{
    if (setup.variation)
    {
        PrintSweep(out, *setup.variation, SweepRows(*setup.variation, setup.matches, firstTask, results));
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
        // The seed opens the match in the window: tryzone --seed S --minutes M --match N.
        out << "Match " << results[i].match << " (seed " << results[i].seed << "): Blue " << results[i].teams[0].tries
            << " - " << results[i].teams[1].tries << " Red\n";
    }
    if (listed < results.size())
    {
        out << "\u2026 " << results.size() - listed << " more " << (inJson ? "in the JSON" : "(--json lists them all)")
            << '\n';
    }
    out << '\n';
    PrintSummary(out, Summarise(results));
}

void PrintRulesKept(std::ostream& out, const RunSetup& setup, const std::vector<MatchResult>& results)
{
    if (!setup.checkRules || (!results.empty() && results.back().breach))
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

std::optional<std::string> BreachReport(const RunSetup& setup, const std::vector<MatchResult>& results, int firstTask)
{
    if (results.empty() || !results.back().breach)
    {
        return std::nullopt;
    }
    const MatchResult& last = results.back();
    std::string value;
    if (setup.variation)
    {
        const int task = firstTask + static_cast<int>(results.size()) - 1;
        value = " with " + setup.variation->key + " " +
                FloatText(setup.variation->values[static_cast<std::size_t>(Numbering(setup).Group(task))]);
    }
    return "rule broken in match " + std::to_string(last.match) + value + " (seed " + std::to_string(last.seed) +
           "), frame " + std::to_string(last.breach->frame) + ": " + last.breach->rule;
}

nlohmann::ordered_json RunAsJson(const RunSetup& setup, const std::vector<MatchResult>& results)
{
    nlohmann::ordered_json document =
        setup.variation
            ? SweepAsJson(Description(setup), *setup.variation, SweepRows(*setup.variation, setup.matches, 0, results))
            : ResultsAsJson(Description(setup), results, Summarise(results));
    if (setup.HasTactics())
    {
        document["tactics"] = TacticsAsJson(setup);
    }
    if (setup.HasLaws())
    {
        document["laws"] = LawsAsJson(setup);
    }
    return document;
}

} // namespace tryzone
