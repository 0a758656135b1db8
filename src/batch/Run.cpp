#include "batch/Run.h"

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
    return {setup.seed, setup.players, setup.matches, setup.minutes, setup.framesPerMatch};
}
} // namespace

bool HasTactics(const RunSetup& setup)
{
    return !setup.blueTactics.empty() || !setup.redTactics.empty();
}

bool HasLaws(const RunSetup& setup)
{
    return setup.tactics.laws != nullptr && !AreGameLaws(*setup.tactics.laws);
}

nlohmann::ordered_json LawsAsJson(const RunSetup& setup)
{
    return {{"file", setup.lawsFile}, {"laws", LawsToJson(setup.tactics.laws ? *setup.tactics.laws : GameLaws())}};
}

Expected<void> ReadLawsJson(const nlohmann::ordered_json& kept, RunSetup& setup)
{
    if (!kept.is_object() || !kept.contains("file") || !kept["file"].is_string() || !kept.contains("laws"))
    {
        return Unexpected{"laws that are not a file name and its laws"};
    }
    Expected<Laws> laws = LawsFromJson(nlohmann::json::parse(kept["laws"].dump()), "laws");
    if (!laws)
    {
        return Unexpected{"laws that do not validate (" + laws.Reason() + ")"};
    }
    setup.lawsFile = kept["file"].get<std::string>();
    setup.tactics.laws = AreGameLaws(*laws) ? nullptr : std::make_shared<const Laws>(*laws);
    return {};
}

nlohmann::ordered_json TacticsAsJson(const RunSetup& setup)
{
    const auto team = [](const std::string& file, const std::shared_ptr<const CompiledTactic>& tactic)
    {
        return tactic == nullptr ? nlohmann::ordered_json(nullptr)
                                 : nlohmann::ordered_json{{"file", file}, {"tactic", TacticToJson(tactic->source)}};
    };
    return {{"blue", team(setup.blueTactics, setup.tactics.blue)}, {"red", team(setup.redTactics, setup.tactics.red)}};
}

int TaskTotal(const RunSetup& setup)
{
    return setup.matches * (setup.variation ? static_cast<int>(setup.variation->values.size()) : 1);
}

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
    if (!setup.brains.empty())
    {
        out << "Brains: " << setup.brains << '\n';
    }
    if (HasTactics(setup))
    {
        const auto name = [](const std::string& file) { return file.empty() ? std::string("default") : file; };
        out << "Tactics: blue " << name(setup.blueTactics) << ", red " << name(setup.redTactics) << '\n';
    }
    if (HasLaws(setup))
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
        const auto task = static_cast<std::size_t>(firstTask) + results.size() - 1;
        value = " with " + setup.variation->key + " " +
                FloatText(setup.variation->values[task / static_cast<std::size_t>(setup.matches)]);
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
    if (HasTactics(setup))
    {
        document["tactics"] = TacticsAsJson(setup);
    }
    if (HasLaws(setup))
    {
        document["laws"] = LawsAsJson(setup);
    }
    return document;
}

} // namespace tryzone
