#include "run/MatchRunner.h"
#include "support/DefaultSettingsFile.h"
#include "support/Files.h"
#include "support/Program.h"

#include <csignal>
#include <cstdlib>
#include <fstream>
#include <gtest/gtest.h>
#include <nlohmann/json.hpp>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace
{
using nlohmann::json;
using Arguments = std::vector<std::string>;

Arguments operator+(Arguments a, const Arguments& b)
{
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

// The simulator's runs over several cores, as sweeps and in shards, in a folder of their own.
class ScaleTest : public ::testing::Test
{
protected:
    ProgramRun Sim(const Arguments& arguments) { return RunProgram(TRYZONE_SIM_PATH, arguments, folder.Path()); }

    ProgramRun Succeeding(const Arguments& arguments)
    {
        ProgramRun run = Sim(arguments);
        EXPECT_EQ(run.status, 0) << run.err;
        return run;
    }

    [[nodiscard]] std::string File(const std::string& name) const { return ReadFile(folder.Path() / name); }

    // Everything but the last line, the speed, which measures the machine.
    static std::string WithoutSpeed(const std::string& out) { return out.substr(0, out.rfind("Speed: ")); }

    static void ExpectOneLineError(const ProgramRun& run, const std::string& expected)
    {
        EXPECT_EQ(run.status, 2) << run.err;
        EXPECT_EQ(run.out, "");
        EXPECT_EQ(std::count(run.err.begin(), run.err.end(), '\n'), 1) << run.err;
        EXPECT_NE(run.err.find(expected), std::string::npos) << run.err << " lacks " << expected;
    }

    TemporaryFolder folder;
};

const Arguments kRun{"--seed", "7", "--matches", "5", "--minutes", "1.5"};
const Arguments kSweep{"--seed", "7",      "--matches",        "2",     "--minutes",
                       "1.5",    "--vary", "Speed=250:350:50", "--who", "red"};
} // namespace

TEST_F(ScaleTest, WorkersChangeNothingButTheSpeed)
{
    const Arguments outputs{"--json", "r.json", "--events", "e.jsonl", "--heatmap", "h.png"};
    const ProgramRun alone = Succeeding(kRun + outputs + Arguments{"--jobs", "1"});
    const std::string json1 = File("r.json");
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
        execl(TRYZONE_SIM_PATH, TRYZONE_SIM_PATH, "--seed", "9", "--matches", "2", "--minutes", "600", "--jobs", "2",
              static_cast<char*>(nullptr));
        _exit(127);
    }
    ASSERT_GT(pid, 0);
    // The workers are the program's children; the first one listed is killed once both are there.
    const std::string children = "/proc/" + std::to_string(pid) + "/task/" + std::to_string(pid) + "/children";
    pid_t worker = 0;
    pid_t other = 0;
    for (int tries = 0; tries < 500 && other == 0; ++tries)
    {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        std::ifstream(children) >> worker >> other;
    }
    ASSERT_GT(other, 0) << "no workers started";
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
    EXPECT_TRUE(names(1) || names(2)) << reason;
}
