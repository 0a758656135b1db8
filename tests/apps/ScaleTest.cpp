#include "run/MatchRunner.h"
#include "shards/PartChecks.h"
#include "support/DefaultSettingsFile.h"
#include "support/Files.h"
#include "support/Program.h"
#include "support/SimFolder.h"

#include <array>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <gtest/gtest.h>
#include <nlohmann/json.hpp>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <tuple>
#include <unistd.h>

namespace tryzone
{

namespace
{
using nlohmann::json;
// The simulator's runs over several cores, as sweeps and in shards, in a folder of their own.
using ScaleTest = SimFolderTest;

const Arguments kRun{"--seed", "7", "--matches", "5", "--minutes", "1.5"};
const Arguments kSweep{"--seed", "7",      "--matches",        "2",     "--minutes",
                       "1.5",    "--vary", "Speed=250:350:50", "--who", "red"};
} // namespace

TEST_F(ScaleTest, WorkersChangeNothingButTheSpeed)
{
    const Arguments outputs{"--json", "r.json", "--events", "e.jsonl", "--heatmap", "h.png"};
    const ProgramRun alone = Succeeding(kRun + outputs + Arguments{"--jobs", "1"});
    const std::string json1 = File("r.json");
    // The tactics' telemetry is summed from the workers too.
    EXPECT_NE(json1.find("\"firings\""), std::string::npos);
    const std::string events1 = File("e.jsonl");
    const std::string heatmap1 = File("h.png");

    const ProgramRun shared = Succeeding(kRun + outputs + Arguments{"--jobs", "3"});
    EXPECT_EQ(WithoutSpeed(shared.out), WithoutSpeed(alone.out));
    EXPECT_EQ(File("r.json"), json1);
    EXPECT_EQ(File("e.jsonl"), events1);
    EXPECT_EQ(File("h.png"), heatmap1);
    EXPECT_EQ(shared.err, "");
}

class MergedShards : public ScaleTest, public ::testing::WithParamInterface<bool>
{
};

// Shards, some with workers, merged in any order: the whole run's summary or table, JSON and CSV byte for byte.
TEST_P(MergedShards, AreTheWholeRun)
{
    const bool sweep = GetParam();
    const Arguments run = sweep ? kSweep : kRun;
    const ProgramRun whole =
        Succeeding(run + Arguments{"--json", "whole.json", sweep ? "--csv" : "--events", "whole.out"});
    std::string events;
    for (int shard = 0; shard < 4; ++shard) // a sweep's shards end inside a value
    {
        const std::string part = "part" + std::to_string(shard) + ".json";
        Succeeding(
            run + Arguments{"--shard", std::to_string(shard) + "/4", "--json", part, "--jobs", shard == 1 ? "2" : "1"} +
            (sweep ? Arguments{} : Arguments{"--events", "e.jsonl"}));
        events += sweep ? "" : File("e.jsonl");
    }
    const ProgramRun merged =
        Succeeding(Arguments{"merge", "part2.json", "part0.json", "part3.json", "part1.json", "--json", "merged.json"} +
                   (sweep ? Arguments{"--csv", "merged.csv"} : Arguments{}));

    EXPECT_EQ(WithoutSpeed(merged.out), WithoutSpeed(whole.out));
    EXPECT_TRUE(File("merged.json") == File("whole.json"));
    // Shard after shard, the event logs are the whole run's.
    EXPECT_TRUE((sweep ? File("merged.csv") : events) == File("whole.out"));
}

INSTANTIATE_TEST_SUITE_P(RunAndSweep, MergedShards, ::testing::Bool());

TEST_F(ScaleTest, PartsOfDifferentRunsAreRefused)
{
    const Arguments run{"--seed", "3", "--matches", "2", "--minutes", "0.5"};
    auto part = [this, &run](const std::string& name, const std::string& shard, const Arguments& other) {
        Succeeding(run + Arguments{"--shard", shard, "--json", name} + other);
    };
    part("a0.json", "0/2", {});
    part("a1.json", "1/2", {});
    part("seed.json", "1/2", {"--seed", "4"});
    part("minutes.json", "1/2", {"--minutes", "1"});
    part("three.json", "1/3", {});
    // The same file name, other players: the first player's speed changed in between.
    const std::string entry = DefaultEntryText("0", "100.0", "120.0", "Blue", true);
    WriteFile(folder.Path() / "PlayersSettings.json", "[\n" + entry + "]\n");
    part("fast0.json", "0/2", {});
    part("named1.json", "1/2", {"--settings", "./PlayersSettings.json"});
    WriteFile(folder.Path() / "PlayersSettings.json",
              "[\n" + entry.substr(0, entry.find("300.0")) + "200.0" + entry.substr(entry.find("300.0") + 5) + "]\n");
    part("slow1.json", "1/2", {});
    WriteFile(folder.Path() / "other.json", "{\"seed\": 3}");

    const std::vector<std::pair<Arguments, std::string>> cases{
        {{"a0.json", "seed.json"}, "seed.json is from another run than a0.json: another seed (4, not 3)"},
        {{"a0.json", "minutes.json"}, "other options (minutes)"},
        {{"a0.json", "three.json"}, "split into 3 shards, not 2"},
        {{"fast0.json", "slow1.json"}, "other players' settings"},
        {{"fast0.json", "named1.json"}, "other options (settings_file)"},
        {{"a0.json"}, "shard 1 of 2 is missing"},
        {{"a1.json", "a0.json", "a1.json"}, "shard 1 of 2 given twice: a1.json and a1.json"},
        {{"a0.json", "other.json"}, "other.json is not a part written by tryzone-sim --shard --json"},
    };
    for (const auto& [parts, expected] : cases)
    {
        ExpectOneLineError(Sim(Arguments{"merge"} + parts), expected);
    }
}

// Luck 0 makes every blue pass and tackle fail: with every value playing the same match seeds, the table shows it.
TEST_F(ScaleTest, ASweepShowsAKnownEffectValueByValue)
{
    const ProgramRun run = Succeeding({"--seed", "5", "--matches", "3", "--minutes", "2", "--vary",
                                       "LuckMultiplier=0:1:1", "--json", "s.json", "--csv", "s.csv"});
    const json sweep = json::parse(File("s.json"));
    ASSERT_EQ(sweep["values"].size(), 2u);
    const json& unlucky = sweep["values"][0]["totals"]["teams"];
    EXPECT_EQ(unlucky["blue"]["wins"], 0);
    EXPECT_GT(unlucky["blue"]["passes"]["attempted"].get<int>(), 0);
    EXPECT_EQ(unlucky["blue"]["passes"]["completed"], 0);
    EXPECT_GT(unlucky["blue"]["tackles"]["attempted"].get<int>(), 0);
    EXPECT_EQ(unlucky["blue"]["tackles"]["successful"], 0);
    EXPECT_GT(unlucky["red"]["passes"]["completed"].get<int>(), 0);
    EXPECT_GT(sweep["values"][1]["totals"]["teams"]["blue"]["passes"]["completed"].get<int>(), 0);
    for (std::size_t match = 0; match < 3; ++match)
    {
        EXPECT_EQ(sweep["values"][0]["results"][match]["seed"], sweep["values"][1]["results"][match]["seed"]);
    }
    EXPECT_NE(run.out.find("\n             0        0-0-3      0.0% (0.0-56.1%)"), std::string::npos) << run.out;
    const std::string csv = File("s.csv");
    EXPECT_NE(csv.find("\nLuckMultiplier,blue,0,3,0,"), std::string::npos) << csv;
    EXPECT_NE(csv.find(",0.000000,0.000000,0.561497,"), std::string::npos) << csv; // the rate and its interval

    // Red's luck at 0: the table, CSV and JSON give red's numbers, and say so.
    const ProgramRun red = Succeeding({"--seed", "5", "--matches", "3", "--minutes", "2", "--vary",
                                       "LuckMultiplier=0:1:1", "--who", "red", "--json", "r.json", "--csv", "r.csv"});
    EXPECT_NE(red.out.find("Red W-D-L     Red wins (95% CI)"), std::string::npos) << red.out;
    EXPECT_NE(red.out.find("\n             0        0-0-3      0.0% (0.0-56.1%)"), std::string::npos) << red.out;
    const std::string redCsv = File("r.csv");
    EXPECT_EQ(redCsv.find("key,who,value,matches,red_wins,draws,red_losses,red_win_rate,red_win_rate_low,"), 0u);
    EXPECT_NE(redCsv.find("\nLuckMultiplier,red,0,3,0,0,3,0.000000,0.000000,0.561497,"), std::string::npos) << redCsv;
    EXPECT_EQ(json::parse(File("r.json"))["values"][0]["red_win_rate"]["high"], 0.561497);
}

// Which change helps red against a blue of brains: the same ranking, byte for byte, whatever the workers.
TEST_F(ScaleTest, SensitivityRanksTheSameWithAnyWorkers)
{
    const Arguments run{"sensitivity", "--who",  "red",    "--matches",    "2",      "--minutes", "0.3",      "--seed",
                        "11",          "--json", "s.json", "--blue-brain", "runner", "--brain",   "1=random", "--csv"};
    const ProgramRun one = Succeeding(run + Arguments{"one.csv", "--jobs", "1"});
    const std::string json1 = File("s.json");
    const ProgramRun two = Succeeding(run + Arguments{"two.csv", "--jobs", "2"});
    EXPECT_EQ(WithoutSpeed(two.out), WithoutSpeed(one.out));
    EXPECT_EQ(File("s.json"), json1);
    EXPECT_EQ(File("two.csv"), File("one.csv"));
    EXPECT_NE(one.out.find("Rank  Change"), std::string::npos) << one.out;
    EXPECT_NE(one.out.find("\nBrains: slot 0 runner, slot 1 random, slots 2 to 4 runner, deciding every 12 frames\n"),
              std::string::npos)
        << one.out;
    const json ranking = json::parse(json1);
    ASSERT_EQ(ranking["ranked"].size(), 12u);
    for (std::size_t i = 1; i < 12; ++i)
    {
        EXPECT_GE(ranking["ranked"][i - 1]["win_rate"].get<double>(), ranking["ranked"][i]["win_rate"].get<double>());
    }
    EXPECT_EQ(ranking["unchanged"]["matches"], 2);
    ExpectOneLineError(Sim({"sensitivity", "--who", "green", "--matches", "2"}), "bad value for --who");
    ExpectOneLineError(Sim({"sensitivity", "--who", "red", "--matches", "2", "--change", "100%"}), "--change");
    ExpectOneLineError(Sim({"sensitivity", "--who", "red", "--matches", "2", "--red-brain", "genius"}),
                       "--red-brain: unknown brain 'genius'");
}

TEST_F(ScaleTest, BadScaleOptionsGetOneLineBeforeAnyMatch)
{
    const std::vector<std::pair<Arguments, std::string>> cases{
        {{"--vary", "Sped=0:1:1"}, "unknown key"},
        {{"--vary", "StartPosition=0:1:1"}, "not a float key"},
        {{"--vary", "Speed=2:1:1"}, "FROM is above TO"},
        {{"--vary", "Speed=0:1:0"}, "STEP must be above 0"},
        {{"--vary", "Speed=0:1001:1"}, "more than 1000 values"},
        {{"--vary", "Speed=0:1e39:1e36"}, "beyond the range of a float"},
        {{"--vary", "Speed=nan:1:1"}, "not a finite number"},
        {{"--vary", "Speed=1e-400:1:1"}, "FROM '1e-400' is too close to 0 for a float"},
        {{"--vary", "Speed=16777216:16777220:1"}, "the values 16777216 and 16777217 are the same float, 16777216"},
        {{"--vary", "Speed=1,2,1.00000001"}, "the values 1 and 1.00000001 are the same float"},
        {{"--vary", "Speed=1,,2"}, "value '' is not a finite number"},
        {{"--vary", "Speed=1:2:1", "--who", "slot:10"}, "bad value for --who"},
        {{"--csv", "a.csv"}, "--csv requires --vary"},
        {{"--vary", "Speed=1:2:1", "--events", "e.jsonl"}, "excludes"},
        {{"--shard", "0/2"}, "--shard requires --seed"},
        {{"--seed", "1", "--shard", "2/2"}, "bad value for --shard"},
        {{"--jobs", "0"}, "bad value for --jobs"},
        {{"--seed", "1", "merge", "a.json"}, "merge takes the parts"},
    };
    for (const auto& [arguments, expected] : cases)
    {
        ExpectOneLineError(Sim(Arguments{"--minutes", "1000"} + arguments), expected);
    }
    const std::string path = std::getenv("PATH");
    setenv("PATH", folder.Path().c_str(), 1);
    const ProgramRun noPlotter = Sim({"--vary", "Speed=1:2:1", "--plot", "p.png"});
    setenv("PATH", path.c_str(), 1);
    ExpectOneLineError(noPlotter, "install the Debian package gnuplot-nox");
}

// A worker killed in the middle of a match: the run fails, naming the match, its seed and the worker's process,
// rather than come out short.
TEST_F(ScaleTest, AWorkerThatDiesIsAnError)
{
    const std::string err = (folder.Path() / "err").string();
    const pid_t pid = fork();
    if (pid == 0)
    {
        PrepareChild(folder.Path(), (folder.Path() / "out").string(), err, {});
        execl(TRYZONE_SIM_PATH, TRYZONE_SIM_PATH, "--seed", "9", "--matches", "6", "--minutes", "600", "--jobs", "2",
              "--shard", "1/2", static_cast<char*>(nullptr));
        _exit(127);
    }
    ASSERT_GT(pid, 0);
    // The workers are the program's children. The shard plays matches 4 to 6: the first worker started takes the
    // first two, the second match 6, and it is killed once both are there.
    const std::string children = "/proc/" + std::to_string(pid) + "/task/" + std::to_string(pid) + "/children";
    pid_t worker = 0;
    pid_t other = 0;
    for (int tries = 0; tries < 500 && other == 0; ++tries)
    {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        std::ifstream(children) >> worker >> other;
    }
    ASSERT_GT(other, 0) << "no workers started";
    worker = std::max(worker, other);
    kill(worker, SIGKILL);
    int status = 0;
    ASSERT_EQ(waitpid(pid, &status, 0), pid);

    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 1) << status;
    const std::string reason = ReadFile(err);
    EXPECT_TRUE(reason.starts_with("tryzone-sim: the worker playing match ")) << reason;
    EXPECT_NE(reason.find(") died: killed by signal 9"), std::string::npos) << reason;
    const auto names = [&reason, worker](int match)
    {
        return reason.find("match " + std::to_string(match) + " (seed " + std::to_string(MatchSeed(9, match)) +
                           "; process " + std::to_string(worker) + ")") != std::string::npos;
    };
    EXPECT_TRUE(names(6)) << reason;
}

// Parts edited by hand or by another build: each refused with one line naming the part and what is wrong. The
// edits are signed again, as a careful forger would, so that each check is seen on its own; the digest catches the
// rest.
TEST_F(ScaleTest, EditedPartsAreRefused)
{
    const Arguments run{"--seed", "3", "--matches", "4", "--minutes", "0.3", "--check"};
    Succeeding(run + Arguments{"--shard", "0/2", "--json", "p0.json"});
    Succeeding(run + Arguments{"--shard", "1/2", "--json", "p1.json"});
    const json original = json::parse(File("p1.json"));
    const auto edited = [&](const std::function<void(nlohmann::ordered_json&)>& edit, bool sign)
    {
        auto part = nlohmann::ordered_json::parse(File("p1.json"));
        edit(part);
        if (sign)
        {
            part["digest"] = DocumentDigest(part);
        }
        WriteFile(folder.Path() / "x.json", part.dump(2));
    };
    using Edit = std::function<void(nlohmann::ordered_json&)>;
    const std::vector<std::tuple<Edit, bool, std::string>> cases{
        {[](auto& p) { p["results"][0]["teams"][0]["tries"] = 999; }, false, "x.json has been changed since"},
        {[](auto& p) { p["results"][0]["match"] = 77; }, true, "match 3: numbered 77 where match 3 belongs"},
        {[](auto& p) { p["results"][1]["seed"] = 12345; }, true, "match 4: seed 12345, not "},
        {[](auto& p) { p["results"][0]["frames"] = 5; }, true, "match 3: 5 frames, not 2156, with no rule broken"},
        {[](auto& p) { p["results"][0]["teams"][1]["tries"] = -3; }, true,
         "match 3: red's tries -3 is not a whole number from 0 to 2147483647"},
        // Counts read as 64 bits, bounded by the frames played, each refusal naming the value.
        {[](auto& p) { p["results"][0]["teams"][0]["tries"] = 1e30; }, true,
         "match 3: blue's tries 1e+30 is not a whole number from 0 to 2147483647"},
        {[](auto& p) { p["results"][0]["teams"][0]["tries"] = 2147483647; }, true,
         "match 3: blue's tries 2147483647 in 2156 frames: more than one a frame"},
        {[](auto& p) { p["results"][1]["teams"][1]["tackle_attempts"] = 5 * 2156 + 1; }, true,
         "match 4: red's tackle_attempts 10781 in 2156 frames: more than one a frame for each of five players"},
        {[](auto& p) { p["shard"]["count"] = 1099511627776; }, true,
         "shard.count 1099511627776 is not a whole number from 1 to 2147483647"},
        // A score that passes every bound, with the digest made again: the match played again tells.
        {[](auto& p)
         {
             for (auto& match : p["results"])
             {
                 match["teams"][0]["tries"] = match["teams"][0]["tries"].template get<int>() + 1;
             }
         },
         true, "played again differs: blue's tries"},

        {[](auto& p) { p["results"][0]["teams"][0]["passes"] = 99; }, true, "more passes completed than attempted"},
        {[](auto& p) { p["seconds"] = -1.0; }, true, "x.json is damaged: a negative playing time"},
        {[](auto& p) { p["heatmap"]["counted"] = "1:5"; }, true, "its heat map counts 5 frames, not 4312"},
        {[](auto& p) { p["program"]["build"] = "0123"; }, true, "x.json was written by another build of tryzone-sim"},
    };
    for (const auto& [edit, sign, expected] : cases)
    {
        edited(edit, sign);
        ExpectOneLineError(Sim({"merge", "p0.json", "x.json"}), expected);
    }
    // Nesting refused while it is read, not a stack overflow when the digest walks it; a FIFO refused unopened.
    WriteFile(folder.Path() / "deep.json",
              "{\"tryzone_sim_part\":3,\"x\":" + std::string(100000, '[') + std::string(100000, ']') + "}");
    ExpectOneLineError(Sim({"merge", "p0.json", "deep.json"}), "nested deeper than 64 levels");
    ASSERT_EQ(mkfifo((folder.Path() / "x.fifo").c_str(), 0600), 0);
    ExpectOneLineError(Sim({"merge", "p0.json", "x.fifo"}),
                       "cannot read x.fifo (a part to merge): not a regular file (a FIFO)");
    // Another build's parts, taken on purpose.
    EXPECT_EQ(Sim({"merge", "p0.json", "x.json", "--any-build"}).status, 0);
    EXPECT_EQ(original["results"].size(), 2u);
}

// Shards merged with --heatmap draw the whole run's heat map, byte for byte; a run's heat map is the same for one
// worker or two.
TEST_F(ScaleTest, MergedPartsDrawTheWholeRunsHeatMap)
{
    const Arguments run{"--seed", "5", "--matches", "3", "--minutes", "0.4"};
    Succeeding(run + Arguments{"--heatmap", "one.png", "--jobs", "1"});
    Succeeding(run + Arguments{"--heatmap", "two.png", "--jobs", "2"});
    Succeeding(run + Arguments{"--shard", "0/2", "--json", "p0.json", "--jobs", "2"});
    Succeeding(run + Arguments{"--shard", "1/2", "--json", "p1.json"});
    Succeeding({"merge", "p1.json", "p0.json", "--heatmap", "merged.png"});
    EXPECT_EQ(File("two.png"), File("one.png"));
    EXPECT_EQ(File("merged.png"), File("one.png"));
}

// A merge stopped by a signal while it draws, or a run whose standard output is closed: no file, no temporary file.
TEST_F(ScaleTest, AStoppedMergeAndAClosedPipeLeaveNoTemporaryFile)
{
    const Arguments sweep{"--seed", "2", "--minutes", "0.1", "--vary", "Speed=100,200"};
    Succeeding(sweep + Arguments{"--shard", "0/1", "--json", "p.json"});
    const std::filesystem::path fake = folder.Path() / "bin";
    std::filesystem::create_directory(fake);
    WriteFile(fake / "gnuplot", "#!/bin/sh\ncat >/dev/null\nsleep 1\nexit 1\n");
    std::filesystem::permissions(fake / "gnuplot", std::filesystem::perms::owner_all);
    const std::string path = std::getenv("PATH");
    setenv("PATH", (fake.string() + ":" + path).c_str(), 1);
    const auto interrupt = [this](pid_t pid, const std::filesystem::path&)
    {
        for (int i = 0; i < 500 && !std::filesystem::exists(folder.Path() / "m.png"); ++i)
        {
            for (const auto& entry : std::filesystem::directory_iterator(folder.Path()))
            {
                if (entry.path().filename().string().starts_with(".m.json."))
                {
                    kill(pid, SIGINT);
                    return;
                }
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
    };
    const ProgramRun stopped = RunProgram(TRYZONE_SIM_PATH, {"merge", "p.json", "--json", "m.json", "--plot", "m.png"},
                                          folder.Path(), {}, interrupt);
    setenv("PATH", path.c_str(), 1);
    EXPECT_EQ(stopped.status, 130) << stopped.err;
    EXPECT_NE(stopped.out.find("Interrupted: no file written\n"), std::string::npos) << stopped.out;

    const pid_t pid = fork();
    if (pid == 0)
    {
        PrepareChild(folder.Path(), (folder.Path() / "out").string(), (folder.Path() / "err").string(), {});
        std::array<int, 2> ends{};
        if (pipe(ends.data()) != 0 || close(ends[0]) != 0 || dup2(ends[1], STDOUT_FILENO) < 0)
        {
            _exit(125);
        }
        execl(TRYZONE_SIM_PATH, TRYZONE_SIM_PATH, "--seed", "1", "--minutes", "0.1", "--json", "r.json",
              static_cast<char*>(nullptr));
        _exit(127);
    }
    int status = 0;
    ASSERT_EQ(waitpid(pid, &status, 0), pid);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 1) << status;
    EXPECT_EQ(File("err"), "tryzone-sim: cannot write standard output: Broken pipe\n");
    EXPECT_EQ(FileNames(folder.Path()), (std::vector<std::string>{"bin", "err", "out", "p.json"}));
}

} // namespace tryzone
