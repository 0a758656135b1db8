#include "support/Files.h"
#include "support/Program.h"
#include "support/SimFolder.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

namespace tryzone
{

namespace
{
const std::string kRoot = std::filesystem::path(TRYZONE_TACTICS_PATH).parent_path().string();

using Ladder = SimFolderTest;
} // namespace

// Any entrants: a tactic, the built-in side, a scripted brain, the trained policy and a tactic with brains on two
// of its players. The same table for any number of jobs, and sharded in three and merged.
TEST_F(Ladder, AnyEntrantsGiveOneTableForAnyJobsAndShards)
{
    std::ofstream(folder.Path() / "mixed.team.json")
        << R"({"tactics": ")" << kRoot << R"(/tactics/fast-break.tactics.json", "brains": {"0-1": "runner"}})";
    const Arguments league{"league",
                           kRoot + "/tactics/hold-the-line.tactics.json",
                           "builtin",
                           "runner",
                           kRoot + "/examples/red-policy.safetensors",
                           "mixed.team.json",
                           "--matches",
                           "1",
                           "--minutes",
                           "0.4",
                           "--seed",
                           "9"};
    const ProgramRun one = Succeeding(league + Arguments{"--jobs", "1", "--json", "one.json"});
    const ProgramRun two = Succeeding(league + Arguments{"--jobs", "2", "--json", "two.json"});
    EXPECT_EQ(one.out, two.out);
    EXPECT_EQ(File("one.json"), File("two.json"));
    for (const char* row : {"\nhold-the-line ", "\nbuiltin ", "\nrunner ", "\nred-policy ", "\nmixed "})
    {
        EXPECT_NE(one.out.find(row), std::string::npos) << row << one.out;
    }
    EXPECT_NE(one.out.find("5 entrants"), std::string::npos) << one.out;

    for (int shard = 0; shard < 3; ++shard)
    {
        const std::string part = "part" + std::to_string(shard) + ".json";
        Succeeding(league + Arguments{"--shard", std::to_string(shard) + "/3", "--json", part});
    }
    const ProgramRun merged = Succeeding({"merge", "part2.json", "part0.json", "part1.json", "--json", "m.json"});
    EXPECT_EQ(merged.out, one.out);
    EXPECT_EQ(File("m.json"), File("one.json"));

    // A part of another league (another seed) is refused, and so is one edited by hand.
    Succeeding(league + Arguments{"--seed", "10", "--shard", "1/3", "--json", "other.json"});
    ExpectOneLineError(Sim({"merge", "part0.json", "other.json", "part2.json"}), "from another league");
    auto edited = nlohmann::ordered_json::parse(File("part1.json"));
    auto& team = edited["results"][0]["teams"][0];
    team.begin().value() = team.begin().value().get<long long>() + 1; // a count nothing recomputes
    std::ofstream(folder.Path() / "edited.json") << edited.dump(2);
    ExpectOneLineError(Sim({"merge", "part0.json", "edited.json", "part2.json"}), "edited.json");
}

// Rows never share a name: the same file name in two folders, or one entrant given twice.
TEST_F(Ladder, RowsAreNamedApart)
{
    std::filesystem::create_directories(folder.Path() / "a");
    std::filesystem::create_directories(folder.Path() / "b");
    std::filesystem::copy(kRoot + "/tactics/fast-break.tactics.json", folder.Path() / "a/fast-break.tactics.json");
    std::filesystem::copy(kRoot + "/tactics/hold-the-line.tactics.json", folder.Path() / "b/fast-break.tactics.json");
    const ProgramRun run = Succeeding({"league", "a/fast-break.tactics.json", "b/fast-break.tactics.json", "runner",
                                       "runner", "--matches", "1", "--minutes", "0.1", "--seed", "1"});
    for (const char* row : {"\na/fast-break ", "\nb/fast-break ", "\nrunner ", "\nrunner#2 "})
    {
        EXPECT_NE(run.out.find(row), std::string::npos) << row << run.out;
    }
    ExpectOneLineError(Sim({"league", "runner", "genius", "--seed", "1"}), "unknown brain 'genius'");
}

// A shard played by brains and one played by the state graphs are two runs; the merged report names its brains.
TEST_F(Ladder, RunsWithBrainsMergeOnlyWithThemselves)
{
    const Arguments run{"--seed", "3", "--matches", "2", "--minutes", "0.3"};
    Succeeding(run + Arguments{"--brain", "0-9=random", "--shard", "0/2", "--json", "r0.json"});
    Succeeding(run + Arguments{"--brain", "0-9=random", "--shard", "1/2", "--json", "r1.json"});
    Succeeding(run + Arguments{"--shard", "1/2", "--json", "g1.json"});
    Succeeding(run +
               Arguments{"--blue-brain", "random", "--red-brain", "random", "--shard", "1/2", "--json", "t1.json"});
    ExpectOneLineError(Sim({"merge", "r0.json", "g1.json"}), "other brains (none, not slots 0 to 9 random");
    const ProgramRun whole = Succeeding(run + Arguments{"--brain", "0-9=random"});
    const ProgramRun merged = Succeeding({"merge", "r0.json", "r1.json"});
    EXPECT_EQ(WithoutSpeed(merged.out), WithoutSpeed(whole.out));
    EXPECT_NE(merged.out.find("Brains: slots 0 to 9 random, deciding every 12 frames\n"), std::string::npos)
        << merged.out;
    // The team options are the same brains by the team's names.
    Succeeding({"merge", "r0.json", "t1.json"});
}

// A team file is its tactics and brains given by options: the same matches, and a part whose run description keeps
// what it resolved to; it is refused beside its side's tactics or brain, and a bad one in one line.
TEST_F(Ladder, ATeamFilePlaysAsItsTacticsAndBrainsGivenByOptions)
{
    const Arguments run{"--seed", "5", "--matches", "2", "--minutes", "0.3"};
    const std::string team = kRoot + "/ladder/fast-break-runners.team.json";
    Succeeding(run + Arguments{"--red-team", team, "--events", "team.jsonl", "--shard", "0/1", "--json", "team.json"});
    Succeeding(run + Arguments{"--red-tactics", kRoot + "/tactics/fast-break.tactics.json", "--brain", "5-6=runner",
                               "--events", "options.jsonl", "--shard", "0/1", "--json", "options.json"});
    EXPECT_FALSE(File("team.jsonl").empty());
    EXPECT_EQ(File("team.jsonl"), File("options.jsonl"));
    const auto byTeam = nlohmann::json::parse(File("team.json"))["run"];
    const auto byOptions = nlohmann::json::parse(File("options.json"))["run"];
    EXPECT_EQ(byTeam["brains"], byOptions["brains"]);
    EXPECT_EQ(byTeam["tactics"]["red"]["tactic"], byOptions["tactics"]["red"]["tactic"]);
    // --brain still overrides the team's brains on its slots.
    Succeeding(run + Arguments{"--red-team", team, "--brain", "5=hold", "--shard", "0/1", "--json", "held.json"});
    EXPECT_EQ(nlohmann::json::parse(File("held.json"))["run"]["brains"]["slots"][5], "hold");

    ExpectOneLineError(Sim(run + Arguments{"--red-team", team, "--red-brain", "hold"}),
                       "--red-brain excludes --red-team");
    ExpectOneLineError(Sim(run + Arguments{"--blue-team", "missing.team.json"}),
                       "--blue-team: cannot read missing.team.json");
    ExpectOneLineError(Sim({"sensitivity", "--blue-team", kRoot + "/tactics/fast-break.tactics.json"}),
                       "not a team file");
}

} // namespace tryzone
