#include "agent/BrainOptions.h"
#include "run/MatchRunner.h"
#include "run/Recording.h"
#include "support/Files.h"

#include <CLI/CLI.hpp>
#include <fstream>
#include <gtest/gtest.h>

namespace tryzone
{

namespace
{
// The defaults with the teams interleaved: blue on the even slots, red on the odd ones, so that a player's rank in
// his team is not his slot's.
std::vector<PlayerSettings> Interleaved()
{
    const auto defaults = DefaultPlayers();
    std::vector<PlayerSettings> lineup(defaults.begin(), defaults.end());
    for (std::size_t slot = 0; slot < lineup.size(); ++slot)
    {
        lineup[slot].Team = static_cast<int>(slot % 2);
    }
    return lineup;
}

std::string Write(const TemporaryFolder& folder, const std::string& name, const std::string& text)
{
    std::ofstream(folder.Path() / name) << text;
    return (folder.Path() / name).string();
}
} // namespace

// A team file's brains land on its team's players by rank, under --brain's slots and over the team's state graphs;
// its tactics file is found beside it, and its policies are inputs of the run.
TEST(TeamOptions, ATeamFilesBrainsGoByRankUnderBrainsSlots)
{
    TemporaryFolder folder;
    const std::string team = Write(folder, "red.team.json",
                                   R"({"tactics": ")" TRYZONE_TACTICS_PATH
                                   R"(/fast-break.tactics.json", "brains": {"0-1": "runner", "4": "hold"}})");
    BrainOptions options;
    std::string tactics;
    ASSERT_TRUE(TakeTeam(team, 1, tactics, options));
    EXPECT_EQ(tactics, TRYZONE_TACTICS_PATH "/fast-break.tactics.json");
    EXPECT_TRUE(options.Given());
    ASSERT_EQ(AddBrains("1=random", options.slots), "");
    options.teams[0] = "hold";
    const auto plan = PlanBrains(options, Interleaved());
    ASSERT_TRUE(plan) << plan.Reason();
    // Red's ranks 0 to 4 are slots 1, 3, 5, 7, 9; --brain keeps slot 1.
    const std::array<std::string, 10> expected{"hold", "random", "hold", "runner", "hold",
                                               "",     "hold",   "",     "hold",   "hold"};
    EXPECT_EQ(plan->brains, expected);

    const std::string policy = Write(folder, "p.team.json", R"({"brain": "policy:missing.safetensors"})");
    BrainOptions refused;
    const auto missing = TakeTeam(policy, 0, tactics, refused);
    ASSERT_FALSE(missing);
    EXPECT_NE(missing.Reason().find((folder.Path() / "missing.safetensors").string()), std::string::npos)
        << missing.Reason();
}

// Each bad team file says why in one line naming the file; a team option with its side's tactics or brain is refused.
TEST(TeamOptions, BadTeamFilesAndMixedOptionsAreRefused)
{
    TemporaryFolder folder;
    for (const auto& [name, text, reason] : std::vector<std::tuple<std::string, std::string, std::string>>{
             {"a.tactics.json", "{}", "not a team file (NAME.team.json)"},
             {"absent.team.json", "", "cannot read"},
             {"b.team.json", "{\"tactic\": null}", "unknown key \"tactic\""},
             {"c.team.json", "{\"brain\": \"genius\"}", "unknown brain 'genius'"},
             {"d.team.json", "{\"brains\": {\"5\": \"hold\"}}", "slot 5 is not one of a team's five"},
             {"e.team.json", "{\"tactics\": \"none.tactics.json\"}", "none.tactics.json"},
             {"f.team.json", "{\"brain\": 3}", "not a team file"},
             {"g.team.json", "{\"brain\": ", "g.team.json"}})
    {
        const std::string path =
            name == "absent.team.json" ? (folder.Path() / name).string() : Write(folder, name, text);
        BrainOptions options;
        std::string tactics = "kept";
        const auto taken = TakeTeam(path, 0, tactics, options);
        ASSERT_FALSE(taken) << name;
        EXPECT_NE(taken.Reason().find(reason), std::string::npos) << name << ": " << taken.Reason();
        EXPECT_NE(taken.Reason().find(name), std::string::npos) << taken.Reason();
        EXPECT_EQ(taken.Reason().find('\n'), std::string::npos) << taken.Reason();
        EXPECT_EQ(tactics, "kept");
        EXPECT_FALSE(options.Given()) << name;
    }

    const std::string team = Write(folder, "ok.team.json", R"({"brain": "runner"})");
    for (const std::vector<std::string>& mixed : {std::vector<std::string>{"--red-team", team, "--red-brain", "hold"},
                                                  {"--red-tactics", "x.tactics.json", "--red-team", team}})
    {
        CLI::App app;
        BrainOptions options;
        std::array<std::string, 2> tactics;
        AddBrainOptions(app, options);
        app.add_option("--blue-tactics", tactics[0]);
        app.add_option("--red-tactics", tactics[1]);
        AddTeamOptions(app, options, {&tactics[0], &tactics[1]});
        std::vector<std::string> arguments(mixed.rbegin(), mixed.rend());
        EXPECT_THROW(app.parse(arguments), CLI::ExcludesError) << mixed[2];
    }
}

// The brains as runs and recordings keep them read back as they were; what no command line could give is refused.
TEST(TeamOptions, KeptBrainsReadBackAndBadOnesAreRefused)
{
    BrainPlan plan;
    ASSERT_EQ(AddBrains("0,7=runner", plan), "");
    ASSERT_EQ(AddBrains("3=random", plan), "");
    plan.decisionFrames = 5;
    const auto back = BrainPlanFromJson(BrainPlanAsJson(plan));
    ASSERT_TRUE(back) << back.Reason();
    EXPECT_EQ(back->brains, plan.brains);
    EXPECT_EQ(back->decisionFrames, 5);

    const nlohmann::ordered_json ten = BrainPlanAsJson(plan)["slots"];
    for (const auto& [kept, reason] : std::vector<std::pair<nlohmann::ordered_json, std::string>>{
             {nlohmann::ordered_json::array(), "not one for each of the ten slots"},
             {{{"slots", {nullptr}}, {"decision_frames", 12}}, "not one for each of the ten slots"},
             {{{"slots", ten}}, "decide every ? frames"},
             {{{"slots", ten}, {"decision_frames", 0}}, "decide every 0 frames"},
             {{{"slots", ten}, {"decision_frames", "12"}}, "decide every \"12\" frames"},
             {{{"slots", {"genius", nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr}},
               {"decision_frames", 12}},
              "unknown brain 'genius'"},
             {{{"slots", {7, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr}},
               {"decision_frames", 12}},
              "its brains: not a name"}})
    {
        const auto read = BrainPlanFromJson(kept);
        ASSERT_FALSE(read) << kept.dump();
        EXPECT_NE(read.Reason().find(reason), std::string::npos) << read.Reason();
    }
}

// A recording's header keeps the brains whole; one without them (as every older one) has none, and brains that are
// not described as a run's are refused, naming the line.
TEST(TeamOptions, ARecordingsHeaderKeepsItsBrains)
{
    TemporaryFolder folder;
    const auto defaults = DefaultPlayers();
    const std::vector<PlayerSettings> players(defaults.begin(), defaults.end());
    BrainPlan plan;
    ASSERT_EQ(AddBrains("5-9=runner", plan), "");
    const std::string with =
        Write(folder, "with.jsonl", HeaderLine(4, players, {}, {}, BrainPlanAsJson(plan)) + EndLine(30));
    const auto read = ReadRecording(with);
    ASSERT_TRUE(read) << read.Reason();
    const auto brains = BrainPlanFromJson(read->brains);
    ASSERT_TRUE(brains) << brains.Reason();
    EXPECT_EQ(brains->brains, plan.brains);

    const auto without = ReadRecording(Write(folder, "without.jsonl", HeaderLine(4, players) + EndLine(30)));
    ASSERT_TRUE(without) << without.Reason();
    EXPECT_TRUE(without->brains.is_null());

    const auto bad = ReadRecording(Write(folder, "bad.jsonl", HeaderLine(4, players, {}, {}, "runner") + EndLine(30)));
    ASSERT_FALSE(bad);
    EXPECT_NE(bad.Reason().find("bad.jsonl line 1: brains that are not"), std::string::npos) << bad.Reason();
}

} // namespace tryzone
