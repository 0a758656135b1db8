#include "apps/SimulatorFixture.h"
#include "match/Formation.h"
#include "settings/DefaultPlayerSettings.h"
#include "settings/PlayersConfig.h"
#include "support/DefaultSettingsFile.h"
#include "support/Files.h"
#include "support/Program.h"

#include <chrono>
#include <csignal>
#include <gtest/gtest.h>
#include <map>
#include <nlohmann/json.hpp>
#include <set>
#include <sstream>
#include <sys/stat.h>
#include <thread>

namespace tryzone
{

TEST_F(SimulatorTest, TheSameSeedRepeatsTheRunByteForByte)
{
    const std::vector<std::string> options{"--seed", "7",      "--matches", "2",       "--minutes", "3",
                                           "--json", "a.json", "--events",  "a.jsonl", "--heatmap", "a.jpg"};
    const ProgramRun first = Sim(options);
    ASSERT_EQ(first.status, 0) << first.err;
    const std::string json1 = File("a.json");
    const std::string events1 = File("a.jsonl");
    const std::string heatmap1 = File("a.jpg");

    const ProgramRun second = Sim(options);
    ASSERT_EQ(second.status, 0) << second.err;
    EXPECT_EQ(File("a.json"), json1);
    EXPECT_EQ(File("a.jsonl"), events1);
    EXPECT_EQ(File("a.jpg"), heatmap1);
    EXPECT_EQ(WithoutSpeed(second.out), WithoutSpeed(first.out));
    EXPECT_EQ(heatmap1.substr(0, 8), "\x89PNG\r\n\x1a\n") << "a PNG, whatever the name says";
    EXPECT_EQ(first.err, ""); // no progress bar when standard error is not a terminal

    const ProgramRun other = Sim({"--seed", "8", "--matches", "2", "--minutes", "3", "--json", "a.json"});
    ASSERT_EQ(other.status, 0) << other.err;
    EXPECT_NE(File("a.json"), json1);
}

class CountedBySlot : public SimulatorTest, public ::testing::WithParamInterface<bool>
{
};

// The counts are the event log's, each event counted for its player's slot side (0 to 4 blue); with slot 2's Team
// saying red, a pass from him to a red slot counts for blue, as the match treats him as blue's.
TEST_P(CountedBySlot, TheStatisticsAgreeWithTheEventLog)
{
    if (GetParam())
    {
        std::string text = DefaultsFileText;
        const std::size_t slot2 = text.find("\"Team\": \"Blue\"", text.find("\"PlayerNumber\": 2"));
        text.replace(slot2, 14, "\"Team\": \"Red\"");
        WriteFile(folder.Path() / "PlayersSettings.json", text);
    }
    const ProgramRun run = Sim({"--seed", "3", "--minutes", "5", "--json", "r.json", "--events", "e.jsonl"});
    EXPECT_NE(run.out.find("Blue is slots 0 to 4 and Red slots 5 to 9"), std::string::npos);
    ASSERT_EQ(run.status, 0) << run.err;
    const json results = json::parse(File("r.json"));
    const json& match = results["results"][0];

    std::map<std::string, std::map<std::string, int>> counted; // event kind -> side -> count
    const auto side = [](const json& player) { return player["slot"].get<int>() < 5 ? "blue" : "red"; };
    int kickOffs = 0;
    json lastTry;
    for (const json& event : Lines(File("e.jsonl")))
    {
        const std::string kind = event["event"];
        if (kind == "kickoff")
        {
            ++kickOffs;
        }
        else if (kind == "pass_attempt" || kind == "tackle_attempt")
        {
            const json& actor = kind == "pass_attempt" ? event["passer"] : event["tackler"];
            ++counted[kind][side(actor)];
            // What the player decided, and why: the attempt succeeds exactly when the threshold beats the roll.
            EXPECT_EQ(event["success"].get<bool>(), event["threshold"].get<double>() > event["roll"].get<double>());
        }
        else if (kind == "pass")
        {
            ++counted[kind][side(event["from"])];
            // A pass goes to a slot of the side the passer's Team names, which may not be his own slot's side.
            EXPECT_EQ(event["from"]["team"], side(event["to"]));
            EXPECT_NE(event["from"]["slot"], event["to"]["slot"]);
        }
        else if (kind == "tackle")
        {
            ++counted[kind][side(event["tackler"])];
        }
        else
        {
            ASSERT_EQ(kind, "try");
            ++counted[kind][event["team"]];
            lastTry = event;
        }
    }
    for (const std::string team : {"blue", "red"})
    {
        EXPECT_EQ(match["passes"][team]["attempted"], counted["pass_attempt"][team]) << team;
        EXPECT_EQ(match["passes"][team]["completed"], counted["pass"][team]) << team;
        EXPECT_EQ(match["tackles"][team]["attempted"], counted["tackle_attempt"][team]) << team;
        EXPECT_EQ(match["tackles"][team]["successful"], counted["tackle"][team]) << team;
        EXPECT_EQ(match["score"][team], counted["try"][team]) << team;
        EXPECT_EQ(lastTry["score"][team], match["score"][team]) << team;
    }
    EXPECT_EQ(kickOffs, counted["try"]["blue"] + counted["try"]["red"] + 1);
    EXPECT_GT(counted["try"]["blue"] + counted["try"]["red"], 0);
}

INSTANTIATE_TEST_SUITE_P(DefaultsAndATeamAgainstItsSlot, CountedBySlot, ::testing::Bool());

TEST_F(SimulatorTest, ATeamWithoutLuckNeverCompletesAPassNorTackles)
{
    auto players = DefaultPlayerSettings(KickOffFormation(1280.f, 720.f), 1280.f);
    for (std::size_t slot = 0; slot < 5; ++slot)
    {
        players[slot].LuckMultiplier = 0.f;
    }
    PlayersConfig config((folder.Path() / "unlucky.json").string());
    config.AppendRecords(players);
    ASSERT_TRUE(config.Save());

    const ProgramRun run = Sim({"--settings", "unlucky.json", "--seed", "5", "--minutes", "5", "--json", "r.json"});
    ASSERT_EQ(run.status, 0) << run.err;
    const json results = json::parse(File("r.json"));
    const json& blue = results["totals"]["teams"]["blue"];
    const json& red = results["totals"]["teams"]["red"];
    EXPECT_GT(blue["passes"]["attempted"].get<int>(), 0);
    EXPECT_EQ(blue["passes"]["completed"], 0);
    EXPECT_GT(blue["tackles"]["attempted"].get<int>(), 0);
    EXPECT_EQ(blue["tackles"]["successful"], 0);
    EXPECT_GT(red["passes"]["completed"].get<int>(), 0);
    EXPECT_GT(red["tackles"]["successful"].get<int>(), 0);
}

TEST_F(SimulatorTest, ABrokenSettingsFileIsAnErrorAndIsNeverTouched)
{
    WriteFile(folder.Path() / "PlayersSettings.json", "[{\"PlayerNumber\": 1}]");
    const ProgramRun run = Sim({"--minutes", "1"});
    EXPECT_EQ(run.status, 2);
    EXPECT_EQ(run.err, "Invalid JSON format: missing keys in one of the player entries.\n"
                       "Warning: slot 0: no Team; every entry needs all nine keys\n");
    EXPECT_EQ(File("PlayersSettings.json"), "[{\"PlayerNumber\": 1}]");
    EXPECT_FALSE(std::filesystem::exists(folder.Path() / "PlayersSettings.json.bak"));

    const ProgramRun missing = Sim({"--settings", "nowhere.json"});
    EXPECT_EQ(missing.status, 2);
    EXPECT_EQ(missing.err, "Failed to open config file: nowhere.json\n");
}

TEST_F(SimulatorTest, WithoutASettingsFileItPlaysTheDefaultsAndWritesNothing)
{
    const ProgramRun run = Sim({"--minutes", "1"});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_NE(run.out.find("Players: the ten defaults\n"), std::string::npos);
    EXPECT_NE(run.out.find(", seed "), std::string::npos); // a drawn seed is printed, so the run can be repeated
    EXPECT_FALSE(std::filesystem::exists(folder.Path() / "PlayersSettings.json"));
}

TEST_F(SimulatorTest, BadCommandLinesGetOneLineAndStatusTwo)
{
    for (const std::vector<std::string>& arguments : std::vector<std::vector<std::string>>{{"--bogus"},
                                                                                           {"--matches"},
                                                                                           {"--matches", "0"},
                                                                                           {"--matches", "3x"},
                                                                                           {"--matches", "1000001"},
                                                                                           {"--minutes", "0.0001"},
                                                                                           {"--minutes", "-1"},
                                                                                           {"--minutes", "nan"},
                                                                                           {"--seed", "-4"},
                                                                                           {"--json", ""}})
    {
        const ProgramRun run = Sim(arguments);
        ExpectRefused(run, "tryzone-sim", arguments[0]);
    }
    EXPECT_NE(Sim({"--matches", "1000001"}).err.find("from 1 to 1000000"), std::string::npos);
    EXPECT_NE(Sim({"--minutes", "0"}).err.find("from one frame, 0.000139167, to 100000"), std::string::npos);

    const ProgramRun help = Sim({"--help"});
    EXPECT_EQ(help.status, 0);
    EXPECT_NE(help.out.find("1 to 1000000"), std::string::npos);
    for (const char* option : {"--settings", "--matches", "--minutes", "--seed", "--json", "--events", "--heatmap"})
    {
        EXPECT_NE(help.out.find(option), std::string::npos) << option;
    }
}

// In a sanitized build this is also the simulator's leak check: LeakSanitizer would report on standard error.
TEST_F(SimulatorTest, CheckedRulesAreReportedWithTheSummary)
{
    const ProgramRun run = Sim({"--check", "--seed", "3", "--minutes", "3", "--matches", "2"});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.err, "");
    EXPECT_NE(run.out.find("Rules checked after each of the 43114 frames (0.10 simulated hours): none broken\n"),
              std::string::npos)
        << run.out;
}

TEST_F(SimulatorTest, TheBenchmarkTakesWholeNumbersInRange)
{
    for (const std::vector<std::string>& arguments : std::vector<std::vector<std::string>>{
             {"1e5", "1"}, {"99999999999999999999"}, {"1000", "0"}, {"-5"}, {"1000", "2", "3"}})
    {
        const ProgramRun run = RunProgram(TRYZONE_BENCH_PATH, arguments, folder.Path());
        ExpectRefused(run, "tryzone-bench", arguments[0]);
    }
    const ProgramRun help = RunProgram(TRYZONE_BENCH_PATH, {"--help"}, folder.Path());
    EXPECT_EQ(help.status, 0);
    EXPECT_NE(help.out.find("CPU second"), std::string::npos) << help.out;
}

} // namespace tryzone
