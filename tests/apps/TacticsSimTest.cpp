#include "support/DefaultSettingsFile.h"
#include "support/Files.h"
#include "support/Program.h"

#include <cstdio>
#include <fstream>
#include <gtest/gtest.h>
#include <nlohmann/json.hpp>
#include <sstream>
#include <tuple>

namespace tryzone
{

namespace
{
const std::string kTactics = TRYZONE_TACTICS_PATH;

class TacticsSim : public ::testing::Test
{
protected:
    ProgramRun Sim(const std::vector<std::string>& arguments)
    {
        return RunProgram(TRYZONE_SIM_PATH, arguments, folder.Path());
    }

    TemporaryFolder folder;
};
} // namespace

TEST_F(TacticsSim, LeagueTableIsTheSameForAnyNumberOfJobs)
{
    const std::vector<std::string> league{"league",
                                          kTactics + "/default.tactics.json",
                                          kTactics + "/fast-break.tactics.json",
                                          kTactics + "/hold-the-line.tactics.json",
                                          "--matches",
                                          "2",
                                          "--minutes",
                                          "1",
                                          "--seed",
                                          "4"};
    auto withJobs = [&league](const char* jobs)
    {
        auto arguments = league;
        arguments.insert(arguments.end(), {"--jobs", jobs, "--csv", std::string("jobs") + jobs + ".csv"});
        return arguments;
    };
    const ProgramRun one = Sim(withJobs("1"));
    const ProgramRun two = Sim(withJobs("2"));
    ASSERT_EQ(one.status, 0) << one.err;
    ASSERT_EQ(two.status, 0) << two.err;
    EXPECT_EQ(one.out, two.out);
    EXPECT_EQ(ReadFile(folder.Path() / "jobs1.csv"), ReadFile(folder.Path() / "jobs2.csv"));
    // Three tactics, each in two pairings both ways round: eight matches each, every one won, drawn or lost.
    for (const char* name : {"default ", "fast-break ", "hold-the-line "})
    {
        const auto row = one.out.find(std::string("\n") + name);
        ASSERT_NE(row, std::string::npos) << name << one.out;
        int matches = 0, wins = 0, draws = 0, losses = 0;
        std::istringstream(one.out.substr(row + 1 + std::string(name).size())) >> matches >> wins >> draws >> losses;
        EXPECT_EQ(matches, 8) << name;
        EXPECT_EQ(wins + draws + losses, 8) << name;
    }
    EXPECT_NE(one.out.find("Bradley-Terry"), std::string::npos);
}

TEST_F(TacticsSim, ABadTacticsFileIsOneLineAndStatusTwoBeforeAnythingIsWritten)
{
    std::ofstream(folder.Path() / "bad.tactics.json")
        << R"({"start": "A", "states": [{"name": "A", "action": "Run"}]})";
    const ProgramRun run = Sim({"--blue-tactics", "bad.tactics.json", "--json", "out.json"});
    EXPECT_EQ(run.status, 2);
    EXPECT_EQ(run.err, "bad.tactics.json: /states/0/action: unknown action \"Run\" (expected one of Idle, Support, "
                       "Defend, Attack, Pass, Hold, Mark)\n");
    EXPECT_FALSE(std::filesystem::exists(folder.Path() / "out.json"));
}

TEST_F(TacticsSim, DrawsTheGraphAndTheOptionsChangeTheMatch)
{
    const ProgramRun graph = Sim({"tactics", kTactics + "/default.tactics.json", "--graph", "g.svg"});
    ASSERT_EQ(graph.status, 0) << graph.err;
    const std::string svg = ReadFile(folder.Path() / "g.svg");
    EXPECT_NE(svg.find("<svg"), std::string::npos);
    EXPECT_NE(svg.find("EnemyIsNear"), std::string::npos);

    const ProgramRun plain = Sim({"--seed", "3", "--minutes", "2", "--events", "plain.jsonl"});
    const ProgramRun other = Sim({"--seed", "3", "--minutes", "2", "--events", "other.jsonl", "--red-tactics",
                                  kTactics + "/hold-the-line.tactics.json", "--json", "other.json"});
    ASSERT_EQ(other.status, 0) << other.err;
    EXPECT_NE(ReadFile(folder.Path() / "plain.jsonl"), ReadFile(folder.Path() / "other.jsonl"));
    EXPECT_NE(other.out.find("Tactics: blue default, red "), std::string::npos);

    // The run's numbers on the graph of each team's tactic; a tactic neither team played is refused before its line.
    const auto red = nlohmann::json::parse(ReadFile(folder.Path() / "other.json"))["totals"]["teams"]["red"]["tactic"];
    for (const auto& [file, state, share] : std::vector<std::tuple<std::string, int, std::string>>{
             {"hold-the-line", 2, "Line"}, {"default", -1, ""}})
    {
        const ProgramRun drawn = Sim({"tactics", kTactics + "/" + file + ".tactics.json", "--graph", file + ".svg",
                                      "--from", "other.json"});
        ASSERT_EQ(drawn.status, 0) << drawn.err;
        const std::string picture = ReadFile(folder.Path() / (file + ".svg"));
        EXPECT_NE(picture.find("of the time"), std::string::npos) << file;
        EXPECT_NE(picture.find(" times] "), std::string::npos) << file;
        if (state >= 0)
        {
            ASSERT_EQ(red["states"][state]["state"], share);
            char percent[32];
            std::snprintf(percent, sizeof percent, "%.1f%% of the time", 100.0 * red["states"][state]["share"].get<double>());
            EXPECT_NE(picture.find(percent), std::string::npos) << percent;
        }
    }
    const ProgramRun unplayed = Sim({"tactics", kTactics + "/fast-break.tactics.json", "--graph", "f.svg", "--from",
                                     "other.json"});
    EXPECT_EQ(unplayed.status, 2);
    EXPECT_EQ(unplayed.out, "");
    EXPECT_NE(unplayed.err.find("other.json: neither of its teams played this tactic"), std::string::npos)
        << unplayed.err;
}

} // namespace tryzone

namespace tryzone
{

TEST_F(TacticsSim, TheCheckSaysExactlyWhatItFinds)
{
    // One state, no description: "1 state", and nothing dangling after the start.
    std::ofstream(folder.Path() / "one.tactics.json")
        << R"({"start": "A", "states": [{"name": "A", "action": "Attack", "links": [{"target": "A"}]}]})";
    const ProgramRun one = Sim({"tactics", "one.tactics.json"});
    EXPECT_EQ(one.status, 0);
    EXPECT_EQ(one.out, "one.tactics.json: 1 state, start \"A\"\n");
    EXPECT_NE(one.err.find("Warning: one.tactics.json: /states/0: state \"A\" is a dead end"), std::string::npos);

    // A picture of a kind Graphviz is not asked for is refused before anything is said to be fine.
    const ProgramRun jpeg = Sim({"tactics", "one.tactics.json", "--graph", "g.jpg"});
    EXPECT_EQ(jpeg.status, 2);
    EXPECT_EQ(jpeg.out, "");

    const ProgramRun none = Sim({"tactics"});
    EXPECT_EQ(none.status, 2);
    EXPECT_EQ(none.err, "tryzone-sim: FILE is required (see --help)\n");
    EXPECT_EQ(Sim({"tactics", "missing.json"}).err, "missing.json: cannot be opened: No such file or directory\n");

    std::ofstream(folder.Path() / "bool.tactics.json")
        << R"({"start": "A", "states": [{"name": "A", "action": "Support", "parameters": {"behind": true}}]})";
    EXPECT_EQ(Sim({"tactics", "bool.tactics.json"}).err,
              "bool.tactics.json: /states/0/parameters/behind: expected a number, not a boolean\n");

    // Each subcommand's help ends with its own lines, not the run's.
    for (const char* command : {"tactics", "league"})
    {
        const ProgramRun help = Sim({command, "--help"});
        EXPECT_EQ(help.out.find("the speed (frames per second"), std::string::npos) << command;
        EXPECT_NE(help.out.find("Exit status"), std::string::npos) << command;
    }
}

} // namespace tryzone

namespace tryzone
{

// The league fields the working folder's players, or those --settings names, as every other command does.
TEST_F(TacticsSim, LeagueTakesTheSettingsFile)
{
    const std::vector<std::string> league{"league", kTactics + "/default.tactics.json", kTactics + "/fast-break.tactics.json",
                                          "--matches", "1", "--minutes", "0.5", "--seed", "9", "--jobs", "1"};
    const ProgramRun defaults = Sim(league);
    ASSERT_EQ(defaults.status, 0) << defaults.err;
    EXPECT_NE(defaults.out.find("Players: defaults\n"), std::string::npos) << defaults.out;

    std::string fast = DefaultsFileText;
    for (std::size_t at = fast.find("300.0"); at != std::string::npos; at = fast.find("300.0", at))
    {
        fast.replace(at, 5, "450.0");
    }
    std::ofstream(folder.Path() / "PlayersSettings.json") << fast;
    const ProgramRun here = Sim(league);
    ASSERT_EQ(here.status, 0) << here.err;
    EXPECT_NE(here.out.find("Players: PlayersSettings.json\n"), std::string::npos) << here.out;
    EXPECT_NE(here.out.substr(here.out.find("Players:")), defaults.out.substr(defaults.out.find("Players:")));

    std::filesystem::rename(folder.Path() / "PlayersSettings.json", folder.Path() / "fast.json");
    std::vector<std::string> given = league;
    given.insert(given.end(), {"--settings", "fast.json"});
    const ProgramRun named = Sim(given);
    ASSERT_EQ(named.status, 0) << named.err;
    EXPECT_EQ(named.out.substr(named.out.find('\n', named.out.find("Players:"))),
              here.out.substr(here.out.find('\n', here.out.find("Players:"))));
}

} // namespace tryzone
