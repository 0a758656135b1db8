#include "experiments/RunSetup.h"

#include "reports/PartJson.h"
#include "tactics/TacticsFile.h"

#include <array>
#include <cstdio>

namespace tryzone
{

namespace
{
using nlohmann::ordered_json;

// The text of --vary that "vary" describes.
std::string VaryText(const ordered_json& vary)
{
    std::string range = vary.at("key").get<std::string>() + "=";
    if (vary.at("list").empty())
    {
        range += DoubleText(vary.at("from").get<double>()) + ":" + DoubleText(vary.at("to").get<double>()) + ":" +
                 DoubleText(vary.at("step").get<double>());
    }
    for (const ordered_json& value : vary.at("list"))
    {
        range += (range.back() == '=' ? "" : ",") + DoubleText(value.get<double>());
    }
    return range;
}

// The options that shape a run, seed, players, tactics and brains aside.
ordered_json OptionsAsJson(const RunSetup& setup)
{
    ordered_json vary = nullptr;
    if (setup.variation)
    {
        vary = {{"key", setup.variation->key}, {"who", setup.variation->who},   {"from", setup.variation->from},
                {"to", setup.variation->to},   {"step", setup.variation->step}, {"list", setup.variation->list}};
    }
    return {{"settings_file", setup.players},           {"matches", setup.matches},  {"minutes", setup.minutes},
            {"frames_per_match", setup.framesPerMatch}, {"check", setup.checkRules}, {"vary", vary}};
}

// The laws a run keeps (LawsAsJson's form), checked as a laws file is.
Expected<void> LawsFromRun(const ordered_json& kept, RunSetup& setup)
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
    setup.laws = AreGameLaws(*laws) ? nullptr : std::make_shared<const Laws>(*laws);
    return {};
}

// The teams' tactics kept in a run, checked as a tactics file is.
Expected<void> TeamsFromJson(const ordered_json& tactics, RunSetup& setup)
{
    for (std::size_t side = 0; side < setup.teams.size(); ++side)
    {
        const ordered_json& kept = tactics.at(side == 0 ? "blue" : "red");
        if (kept.is_null())
        {
            continue;
        }
        TeamSetup& team = setup.teams[side];
        team.tacticsFile = kept.at("file").get<std::string>();
        TacticsRead read = TacticsFromJson(nlohmann::json::parse(kept.at("tactic").dump()), team.tacticsFile);
        if (read.tactic == nullptr)
        {
            return Unexpected{read.error};
        }
        team.tactic = read.tactic;
    }
    return {};
}
} // namespace

Expected<void> ResolveVariation(RunSetup& setup)
{
    if (!setup.variation)
    {
        return {};
    }
    return ResolveTacticVariation(*setup.variation, {setup.teams[0].tactic.get(), setup.teams[1].tactic.get()},
                                  {setup.teams[0].tacticsFile, setup.teams[1].tacticsFile});
}

bool RunSetup::HasLaws() const
{
    return laws != nullptr && !AreGameLaws(*laws);
}

ordered_json LawsAsJson(const RunSetup& setup)
{
    return {{"file", setup.lawsFile}, {"laws", LawsToJson(setup.laws ? *setup.laws : GameLaws())}};
}

TaskNumbering Numbering(const RunSetup& setup)
{
    return {setup.matches, setup.variation ? static_cast<int>(setup.variation->values.size()) : 1};
}

int TaskTotal(const RunSetup& setup)
{
    return Numbering(setup).Total();
}

ordered_json TacticsAsJson(const RunSetup& setup)
{
    const auto team = [](const TeamSetup& side)
    {
        return side.tactic == nullptr
                   ? ordered_json(nullptr)
                   : ordered_json{{"file", side.tacticsFile}, {"tactic", TacticToJson(side.tactic->source)}};
    };
    return {{"blue", team(setup.teams[0])}, {"red", team(setup.teams[1])}};
}

ordered_json RunSetupAsJson(const RunSetup& setup)
{
    ordered_json run{
        {"seed", setup.seed}, {"options", OptionsAsJson(setup)}, {"players", SettingsAsJson(setup.lineup)}};
    if (setup.HasTactics())
    {
        run["tactics"] = TacticsAsJson(setup);
    }
    if (setup.HasLaws())
    {
        run["laws"] = LawsAsJson(setup);
    }
    if (!setup.brains.Empty())
    {
        run["brains"] = BrainPlanAsJson(setup.brains);
    }
    return run;
}

Expected<RunSetup> RunSetupFromJson(const ordered_json& run)
{
    try
    {
        RunSetup setup;
        const ordered_json& options = run.at("options");
        setup.seed = run.at("seed").get<std::uint64_t>();
        setup.players = options.at("settings_file").get<std::string>();
        auto lineup = SettingsFromJson(run.at("players"));
        if (!lineup)
        {
            return lineup.Error();
        }
        setup.lineup = *std::move(lineup);
        setup.matches = options.at("matches").get<int>();
        setup.minutes = options.at("minutes").get<double>();
        setup.framesPerMatch = options.at("frames_per_match").get<std::int64_t>();
        setup.checkRules = options.at("check").get<bool>();
        if (setup.matches < 1)
        {
            return Unexpected{"its runs have " + std::to_string(setup.matches) + " matches"};
        }
        // Runs written before tactics and brains existed played the default tactic and the state graphs.
        if (const auto tactics = run.find("tactics"); tactics != run.end())
        {
            if (auto read = TeamsFromJson(*tactics, setup); !read)
            {
                return read.Error();
            }
        }
        // Runs written before laws existed, or played under the game's own, keep none.
        if (const auto laws = run.find("laws"); laws != run.end())
        {
            if (auto read = LawsFromRun(*laws, setup); !read)
            {
                return read.Error();
            }
        }
        if (const auto brains = run.find("brains"); brains != run.end())
        {
            auto read = BrainPlanFromJson(*brains);
            if (!read)
            {
                return read.Error();
            }
            setup.brains = *read;
        }
        if (const ordered_json& vary = options.at("vary"); !vary.is_null())
        {
            auto variation = ParseVariation(VaryText(vary), vary.at("who").get<std::string>());
            if (!variation)
            {
                return variation.Error();
            }
            setup.variation = *variation;
            if (auto resolved = ResolveVariation(setup); !resolved)
            {
                return resolved.Error();
            }
        }
        return setup;
    }
    catch (const nlohmann::json::exception& error)
    {
        return Unexpected{std::string("its run is not described as tryzone-sim describes one (") + error.what() + ")"};
    }
}

std::optional<std::string> RunDifference(const RunSetup& setup, const RunSetup& other)
{
    if (other.seed != setup.seed)
    {
        return "another seed (" + std::to_string(other.seed) + ", not " + std::to_string(setup.seed) + ")";
    }
    if (other.lineup != setup.lineup)
    {
        return "other players' settings";
    }
    if (TacticsAsJson(other) != TacticsAsJson(setup))
    {
        return "other tactics";
    }
    if (LawsAsJson(other)["laws"] != LawsAsJson(setup)["laws"])
    {
        return "other laws";
    }
    if (other.brains.brains != setup.brains.brains ||
        (!setup.brains.Empty() && other.brains.decisionFrames != setup.brains.decisionFrames))
    {
        return "other brains (" + (other.brains.Empty() ? std::string("none") : Describe(other.brains)) + ", not " +
               (setup.brains.Empty() ? std::string("none") : Describe(setup.brains)) + ")";
    }
    const ordered_json options = OptionsAsJson(other);
    const ordered_json ours = OptionsAsJson(setup);
    for (auto option = ours.begin(); option != ours.end(); ++option)
    {
        if (options[option.key()] != option.value())
        {
            return "other options (" + option.key() + ")";
        }
    }
    return std::nullopt;
}

bool operator==(const RunSetup& setup, const RunSetup& other)
{
    return !RunDifference(setup, other);
}

} // namespace tryzone
