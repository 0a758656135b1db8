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

namespace
{
using nlohmann::json;

class SimulatorTest : public ::testing::Test
{
protected:
    ProgramRun Sim(std::vector<std::string> arguments)
    {
        return RunProgram(TRYZONE_SIM_PATH, arguments, folder.Path());
    }

    [[nodiscard]] std::string File(const std::string& name) const { return ReadFile(folder.Path() / name); }

    // The files in the folder, where a temporary file left behind would show.
    [[nodiscard]] std::set<std::string> Names() const
    {
        std::set<std::string> names;
        for (const auto& entry : std::filesystem::directory_iterator(folder.Path()))
        {
            names.insert(entry.path().filename().string());
        }
        return names;
    }

    // Everything but the last line, the speed, which measures the machine.
    static std::string WithoutSpeed(const std::string& out) { return out.substr(0, out.rfind("Speed: ")); }

    TemporaryFolder folder;
};

// A command line refused before anything is done: one line on standard error, status 2.
void ExpectRefused(const ProgramRun& run, const std::string& program, const std::string& argument)
{
    EXPECT_EQ(run.status, 2) << argument;
    EXPECT_EQ(run.out, "") << argument;
    EXPECT_EQ(std::count(run.err.begin(), run.err.end(), '\n'), 1) << run.err;
    EXPECT_EQ(run.err.rfind(program + ": ", 0), 0u) << run.err;
}

std::vector<json> Lines(const std::string& text)
{
    std::vector<json> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
    {
        lines.push_back(json::parse(line));
    }
    return lines;
}
} // namespace

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

TEST_F(SimulatorTest, NoOutputIsAnInputOrAnotherOutput)
{
    WriteFile(folder.Path() / "p.json", "players");
    WriteFile(folder.Path() / "PlayersSettings.json", "players");
    const std::set<std::string> before = Names();
    for (const std::vector<std::string>& arguments :
         std::vector<std::vector<std::string>>{{"--settings", "p.json", "--json", "p.json"},
                                               {"--settings", "p.json", "--events", "./p.json"},
                                               {"--json", "PlayersSettings.json"}, // the settings read by default
                                               {"--json", "r.json", "--events", "r.json"},
                                               {"--json", "-", "--events", "/dev/stdout"},
                                               {"--heatmap", "-"}})
    {
        const ProgramRun run = Sim(arguments);
        ExpectRefused(run, "tryzone-sim", arguments[1]);
        EXPECT_EQ(File("p.json"), "players");
        EXPECT_EQ(File("PlayersSettings.json"), "players");
        EXPECT_EQ(Names(), before);
    }
    const ProgramRun sink =
        Sim({"--minutes", "0.1", "--settings", "p.json", "--json", "/dev/null", "--events", "/dev/null"});
    EXPECT_EQ(sink.status, 2) << "the settings are read, and are not players";
    EXPECT_EQ(sink.err.find("same file"), std::string::npos) << sink.err;

    // In a folder with no settings file, the default name is still the settings' and stays free; a link to a file
    // not yet there stands for that file; a FIFO nobody reads would block before play.
    TemporaryFolder empty;
    std::filesystem::create_symlink("nothere.json", empty.Path() / "d.json");
    ASSERT_EQ(mkfifo((empty.Path() / "f").c_str(), 0600), 0);
    for (const auto& [arguments, status] :
         std::vector<std::pair<std::vector<std::string>, int>>{{{"--json", "PlayersSettings.json"}, 2},
                                                               {{"--json", "nothere.json", "--events", "d.json"}, 2},
                                                               {{"--json", "f"}, 1}})
    {
        const ProgramRun run =
            RunProgram(TRYZONE_SIM_PATH, arguments, empty.Path(),
                       {.fileSizeLimit = std::nullopt, .obeyFilePermissions = false, .timeLimitSeconds = 20});
        EXPECT_EQ(run.status, status) << run.err;
        EXPECT_EQ(std::count(run.err.begin(), run.err.end(), '\n'), 1) << run.err;
    }
    const ProgramRun linked = RunProgram(TRYZONE_SIM_PATH, {"--minutes", "0.1", "--json", "d.json"}, empty.Path());
    EXPECT_EQ(linked.status, 0) << linked.err;
    EXPECT_TRUE(std::filesystem::is_symlink(empty.Path() / "d.json"));
    EXPECT_TRUE(std::filesystem::is_regular_file(empty.Path() / "nothere.json"));
    EXPECT_FALSE(std::filesystem::exists(empty.Path() / "PlayersSettings.json"));
}

TEST_F(SimulatorTest, AFailedOrInterruptedRunLeavesEarlierFilesAsTheyWere)
{
    const ProgramRun first =
        Sim({"--seed", "4", "--matches", "21", "--minutes", "0.2", "--json", "r.json", "--heatmap", "h.jpg"});
    ASSERT_EQ(first.status, 0) << first.err;
    EXPECT_NE(first.out.find("Match 20 (seed "), std::string::npos);
    EXPECT_EQ(first.out.find("Match 21 (seed "), std::string::npos);
    EXPECT_NE(first.out.find("\u2026 1 more in the JSON\n"), std::string::npos) << first.out;
    const std::string results = File("r.json");
    const std::string picture = File("h.jpg");
    EXPECT_EQ(json::parse(results)["results"].size(), 21u);
    EXPECT_EQ(picture.substr(0, 8), "\x89PNG\r\n\x1a\n"); // a PNG whatever the name says
    const std::set<std::string> kept{"h.jpg", "r.json"};
    EXPECT_EQ(Names(), kept);

    const std::vector<std::string> again{"--minutes", "2",     "--json",   "r.json",
                                         "--heatmap", "h.jpg", "--events", "e.jsonl"};
    const ProgramRun full = RunProgram(TRYZONE_SIM_PATH, again, folder.Path(), Restrictions{.fileSizeLimit = 4096});
    EXPECT_EQ(full.status, 1);
    EXPECT_EQ(full.err, "tryzone-sim: cannot write e.jsonl: File too large\n");
    EXPECT_EQ(File("r.json"), results);
    EXPECT_EQ(File("h.jpg"), picture);
    EXPECT_EQ(Names(), kept);

    // One signal ends the run cleanly; two, arriving together while it is held, end it at once.
    for (const std::vector<int>& signals : std::vector<std::vector<int>>{{SIGINT}, {SIGTERM}, {SIGINT, SIGTERM}})
    {
        std::vector<std::string> endless = again;
        endless.insert(endless.end(), {"--matches", "1000000"});
        const auto interrupt = [&signals](pid_t pid, const std::filesystem::path& out)
        {
            // Once the first lines are out, the run has started and handles the signals.
            for (int i = 0; i < 2000 && ReadFile(out).find("Players: ") == std::string::npos; ++i)
            {
                std::this_thread::sleep_for(std::chrono::milliseconds(10));
            }
            kill(pid, SIGSTOP);
            for (const int signal : signals)
            {
                kill(pid, signal);
            }
            kill(pid, SIGCONT);
        };
        const ProgramRun stopped = RunProgram(TRYZONE_SIM_PATH, endless, folder.Path(), {}, interrupt);
        const bool clean = stopped.out.find(" of 1000000 matches: no file written\n") != std::string::npos;
        EXPECT_EQ(clean, signals.size() == 1) << stopped.out;
        EXPECT_TRUE(stopped.status == 128 + signals.front() || stopped.status == 128 + signals.back())
            << stopped.status;
        EXPECT_EQ(stopped.err, "");
        EXPECT_EQ(File("r.json"), results);
        EXPECT_EQ(File("h.jpg"), picture);
        EXPECT_EQ(Names(), kept);
    }

    // A stopped run whose summary then cannot be written fails with that reason, not with the signal's status.
    const std::vector<std::string> seeded{"--seed", "4", "--minutes", "2", "--matches", "1000000", "--json", "r.json"};
    const std::string header = "TryZone simulation: 1000000 matches of 2 minutes (14371 frames each), seed 4\n"
                               "Players: the ten defaults\n\n";
    const auto interrupt = [](pid_t pid, const std::filesystem::path& out)
    {
        for (int i = 0; i < 2000 && ReadFile(out).find("Players: ") == std::string::npos; ++i)
        {
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        kill(pid, SIGINT);
    };
    const ProgramRun unsaid =
        RunProgram(TRYZONE_SIM_PATH, seeded, folder.Path(), Restrictions{.fileSizeLimit = header.size()}, interrupt);
    EXPECT_EQ(unsaid.status, 1);
    EXPECT_EQ(unsaid.out, header);
    EXPECT_EQ(unsaid.err, "tryzone-sim: cannot write standard output: File too large\n");
    EXPECT_EQ(File("r.json"), results);
    EXPECT_EQ(Names(), kept);
}

TEST_F(SimulatorTest, WriteErrorsAreReportedWithTheirReasonBeforeAnyPlay)
{
    const ProgramRun fullOutput = RunProgram(
        "/bin/sh", {"-c", "exec \"$0\" --minutes 0.1 --json r.json > /dev/full", TRYZONE_SIM_PATH}, folder.Path());
    EXPECT_EQ(fullOutput.status, 1);
    EXPECT_EQ(fullOutput.err, "tryzone-sim: cannot write standard output: No space left on device\n");

    const ProgramRun fullDevice = Sim({"--minutes", "0.1", "--events", "/dev/full"});
    EXPECT_EQ(fullDevice.status, 1);
    EXPECT_EQ(fullDevice.err, "tryzone-sim: cannot write /dev/full: No space left on device\n");

    // Refused before the first frame: nothing is printed, so no match was played.
    std::filesystem::create_directory(folder.Path() / "locked");
    std::filesystem::permissions(folder.Path() / "locked", std::filesystem::perms::owner_read);
    const ProgramRun locked =
        RunProgram(TRYZONE_SIM_PATH, {"--json", "r.json", "--heatmap", "locked/h.png"}, folder.Path(),
                   Restrictions{.fileSizeLimit = std::nullopt, .obeyFilePermissions = true});
    EXPECT_EQ(locked.status, 1);
    EXPECT_EQ(locked.out, "");
    EXPECT_EQ(locked.err, "tryzone-sim: cannot write locked/h.png: Permission denied\n");
    const ProgramRun missing = Sim({"--heatmap", "nowhere/h.png"});
    EXPECT_EQ(missing.status, 1);
    EXPECT_EQ(missing.out, "");
    EXPECT_EQ(missing.err, "tryzone-sim: cannot write nowhere/h.png: No such file or directory\n");
    EXPECT_EQ(Names(), std::set<std::string>{"locked"});
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
