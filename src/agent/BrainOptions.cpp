#include "agent/BrainOptions.h"

#include "agent/Entrant.h"

#include <CLI/CLI.hpp>
#include <algorithm>
#include <charconv>
#include <tuple>

namespace tryzone
{

namespace
{
constexpr int kMaxDecisionFrames = 100000;

int DecisionFrames(const std::string& text)
{
    int frames = 0;
    const char* end = text.data() + text.size();
    const auto [stop, error] = std::from_chars(text.data(), end, frames);
    if (error != std::errc() || stop != end || frames < 1 || frames > kMaxDecisionFrames)
    {
        throw CLI::ValidationError("bad value for --decision-frames: '" + text + "' (a whole number from 1 to " +
                                   std::to_string(kMaxDecisionFrames) + ")");
    }
    return frames;
}
} // namespace

bool BrainOptions::Given() const
{
    const auto any = [](const auto& names)
    { return std::any_of(names.begin(), names.end(), [](const std::string& name) { return !name.empty(); }); };
    return !slots.Empty() || any(teams) || any(ranked[0]) || any(ranked[1]);
}

std::vector<std::string> BrainOptions::PolicyFiles() const
{
    std::vector<std::string> names(slots.brains.begin(), slots.brains.end());
    names.insert(names.end(), teams.begin(), teams.end());
    for (const auto& team : ranked)
    {
        names.insert(names.end(), team.begin(), team.end());
    }
    return tryzone::PolicyFiles(names);
}

void AddBrainOptions(CLI::App& app, BrainOptions& options)
{
    app.add_option_function<std::vector<std::string>>(
           "--brain",
           [&options](const std::vector<std::string>& texts)
           {
               for (const std::string& text : texts)
               {
                   if (const std::string fault = AddBrains(text, options.slots); !fault.empty())
                   {
                       throw CLI::ValidationError("--brain: " + fault);
                   }
               }
           },
           "let a brain play these slots instead of their state graphs: SLOTS is a list of slots\nand ranges (0-4, "
           "2,7), NAME builtin, hold, random, runner or policy:FILE (a trained policy);\nmay be repeated, and "
           "overrides --blue-brain and --red-brain on its slots")
        ->type_name("SLOTS=NAME")
        ->multi_option_policy(CLI::MultiOptionPolicy::TakeAll);
    app.add_option_function<std::string>(
           "--decision-frames",
           [&options](const std::string& text)
           {
               options.slots.decisionFrames = DecisionFrames(text);
               options.decisionFramesGiven = true;
           },
           "frames between two decisions of the brains (default: a policy's own, or 12, 0.1 s)")
        ->type_name("N");
    for (const auto& [option, team, name] :
         {std::tuple{"--blue-brain", "blue", &options.teams[0]}, std::tuple{"--red-brain", "red", &options.teams[1]}})
    {
        app.add_option_function<std::string>(
               option,
               [option = std::string(option), name = name](const std::string& text)
               {
                   if (const auto brain = MakeBrain(text, 0); !brain)
                   {
                       throw CLI::ValidationError(option + ": " + brain.Reason());
                   }
                   *name = text;
               },
               std::string("let a brain play every player of the ") + team + " team (NAME as for --brain)")
            ->type_name("NAME");
    }
}

Expected<void> TakeTeam(const std::string& path, int team, std::string& tacticsFile, BrainOptions& options)
{
    if (!path.ends_with(".team.json"))
    {
        return Unexpected{path + ": not a team file (NAME.team.json)"};
    }
    auto entrant = ReadEntrant(path);
    if (!entrant)
    {
        return entrant.Error();
    }
    tacticsFile = entrant->team.tacticsFile;
    options.ranked[static_cast<std::size_t>(team)] = entrant->brains;
    return {};
}

void AddTeamOptions(CLI::App& app, BrainOptions& options, const std::array<std::string*, 2>& tacticsFiles)
{
    for (const int team : {0, 1})
    {
        const std::string side = team == 0 ? "blue" : "red";
        const std::string option = "--" + side + "-team";
        app.add_option_function<std::string>(
               option,
               [option, team, &options, file = tacticsFiles[static_cast<std::size_t>(team)]](const std::string& text)
               {
                   if (auto taken = TakeTeam(text, team, *file, options); !taken)
                   {
                       throw CLI::ValidationError(option + ": " + taken.Reason());
                   }
               },
               "the " + side +
                   " team's team file (NAME.team.json: its tactics and brains, as a league\nentrant's); "
                   "--brain still overrides it on its slots")
            ->type_name("FILE")
            ->excludes("--" + side + "-tactics")
            ->excludes("--" + side + "-brain");
    }
}

Expected<BrainPlan> PlanBrains(const BrainOptions& options, const std::vector<PlayerSettings>& lineup)
{
    BrainPlan plan = options.slots;
    for (const int team : {0, 1})
    {
        SetTeamBrains(plan, lineup, team, options.ranked[static_cast<std::size_t>(team)]);
        SetTeamBrain(plan, lineup, team, options.teams[static_cast<std::size_t>(team)]);
    }
    if (!options.decisionFramesGiven)
    {
        TakePace(plan);
    }
    if (auto pace = CheckPace(plan); !pace)
    {
        return Unexpected{pace.Reason()};
    }
    return plan;
}

} // namespace tryzone
