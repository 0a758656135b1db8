#include "run/MatchRunner.h"
#include "run/Recording.h"
#include "support/Files.h"
#include "support/Program.h"

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <gtest/gtest.h>
#include <map>
#include <sys/stat.h>
#include <thread>

namespace tryzone
{

namespace
{
// version: its JSON text.
std::string Header(const std::string& version = std::to_string(kRecordingVersion), int players = 10)
{
    const auto defaults = DefaultPlayers();
    std::string line = HeaderLine(42, {defaults.begin(), defaults.begin() + players});
    const std::string field = "\"version\":1";
    line.replace(line.find(field), field.size(), "\"version\":" + version);
    return line;
}

// A header whose brains play slot 0 by a policy file that is not there.
std::string MissingPolicyHeader()
{
    std::string line = Header();
    line.insert(line.rfind('}'), R"(,"brains":{"slots":["policy:missing.safetensors",null,null,null,null,null,null,)"
                                 R"(null,null,null],"decision_frames":12})");
    return line;
}

// A whole number where the settings file wants a float: a recording's players follow the file's rules.
std::string WholeNumberRadius()
{
    std::string line = Header();
    const std::size_t at = line.find("\"Radius\":") + 9;
    line.replace(at, line.find(',', at) - at, "25");
    return line;
}

// Without a display, a game that opened its window would die in the graphics library rather than exit with 2.
class NoDisplay
{
public:
    NoDisplay()
    {
        if (const char* display = std::getenv("DISPLAY"))
        {
            saved = display;
        }
        unsetenv("DISPLAY");
    }
    ~NoDisplay()
    {
        if (!saved.empty())
        {
            setenv("DISPLAY", saved.c_str(), 1);
        }
    }

private:
    std::string saved;
};

struct Refused
{
    std::vector<std::string> arguments;
    std::string recording; // written to bad.jsonl when not empty
    std::string says;
};

class GameRefuses : public ::testing::TestWithParam<Refused>
{
};
} // namespace

TEST_P(GameRefuses, WithOneLineAndStatusTwoBeforeAnyWindowOrFile)
{
    const Refused& refused = GetParam();
    TemporaryFolder folder;
    if (!refused.recording.empty())
    {
        WriteFile(folder.Path() / "bad.jsonl", refused.recording);
    }
    const auto before = FileNames(folder.Path());
    NoDisplay noDisplay;
    const ProgramRun run = RunProgram(TRYZONE_GAME_PATH, refused.arguments, folder.Path());
    EXPECT_EQ(run.status, 2);
    EXPECT_EQ(std::count(run.err.begin(), run.err.end(), '\n'), 1) << run.err;
    EXPECT_LT(run.err.size(), 200u);
    EXPECT_NE(run.err.find(refused.says), std::string::npos) << run.err;
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(FileNames(folder.Path()), before);
}

INSTANTIATE_TEST_SUITE_P(
    BadOptionsAndRecordings, GameRefuses,
    ::testing::Values(
        Refused{{"--bogus"}, "", "--bogus"}, Refused{{"--seed", "abc"}, "", "--seed"},
        Refused{{"--seed", "-1"}, "", "--seed"}, Refused{{"--seed", "4294967296"}, "", "--seed"},
        Refused{{"--seed"}, "", "--seed"}, Refused{{"surplus"}, "", "surplus"},
        Refused{{"--replay", "missing.jsonl"}, "", "missing.jsonl"},
        Refused{{"--replay", "bad.jsonl", "--seed", "3"}, "x", "excludes"},
        Refused{{"--replay", "bad.jsonl", "--red-brain", "random"}, "x", "excludes"},
        Refused{{"--blue-brain", "clever"}, "", "--blue-brain: "}, Refused{{"--brain", "5-12=hold"}, "", "--brain: "},
        Refused{{"--red-team", TRYZONE_TACTICS_PATH "/../ladder/runner.team.json", "--red-brain", "hold"},
                "",
                "--red-brain excludes --red-team"},
        Refused{{"--blue-team", "absent.team.json"}, "", "--blue-team: cannot read absent.team.json"},
        Refused{{"--replay", "bad.jsonl"},
                MissingPolicyHeader() + "{\"end\":5}\n",
                "bad.jsonl: its brains: cannot read the policy file missing.safetensors"},
        Refused{{"--brain", "3=hold", "--decision-frames", "0"}, "", "--decision-frames"},
        Refused{{"--red-brain", "policy:" TRYZONE_TACTICS_PATH "/../examples/red-policy.safetensors",
                 "--decision-frames", "5"},
                "",
                "decides every"},
        Refused{{"--record", "no/such/folder/r.jsonl"}, "", "cannot write no/such/folder/r.jsonl"},
        Refused{{"--replay", "bad.jsonl"}, "hello\n", "bad.jsonl line 1: not a JSON object"},
        Refused{{"--replay", "bad.jsonl"}, "{\"format\":\"other\"}\n", "bad.jsonl line 1: not a TryZone recording"},
        Refused{{"--replay", "bad.jsonl"}, Header("2"), "bad.jsonl line 1: recording version 2"},
        // A shared file's text reaches the console short, and with its control characters shown, not obeyed.
        Refused{{"--replay", "bad.jsonl"},
                Header("\"\u009b" + std::string(5000, 'v') + "\""),
                "bad.jsonl line 1: recording version \"\\xC2\\x9Bvvv"},
        Refused{{"--replay", "bad.jsonl"}, Header("1", 9), "bad.jsonl line 1: settings that do not validate"},
        Refused{{"--replay", "bad.jsonl"}, WholeNumberRadius(), "bad.jsonl line 1: settings that do not validate"},
        Refused{{"--replay", "bad.jsonl"},
                Header() + "{\"frame\":9,\"input\":\"debug\"}\n{\"frame\":8,\"input\":\"debug\"}\n",
                "bad.jsonl line 3: frames out of order"},
        Refused{{"--replay", "bad.jsonl"},
                Header() + "{\"frame\":9,\"input\":\"debug\"}\n{\"end\":5}\n",
                "bad.jsonl line 3: frames out of order"},
        Refused{{"--replay", "bad.jsonl"},
                Header() + "{\"frame\":9,\"inp\n{\"end\":20}\n",
                "bad.jsonl line 2: not a JSON object"},
        Refused{{"--replay", "bad.jsonl"},
                Header() + "{\"frame\":9,\"input\":\"kick\"}\n",
                "bad.jsonl line 2: unknown input"},
        Refused{{"--replay", "bad.jsonl"},
                Header() + "{\"frame\":9,\"input\":\"pick\",\"x\":4}\n",
                "bad.jsonl line 2: a click without its point"},
        Refused{{"--replay", "bad.jsonl"},
                Header() + "{\"frame\":9,\"input\":\"reload\",\"players\":[]}\n",
                "bad.jsonl line 2: reloaded settings that do not validate"},
        Refused{{"--replay", "bad.jsonl"},
                Header() + "{\"end\":5}\n{\"frame\":9,\"input\":\"debug\"}\n",
                "bad.jsonl line 3: a line after the end"}));

TEST(Recording, ACutLastLineIsReportedAndTheRestIsKept)
{
    TemporaryFolder folder;
    const auto path = (folder.Path() / "cut.jsonl").string();
    WriteFile(path, Header() + "{\"frame\":9,\"input\":\"debug\"}\n{\"frame\":12,\"inp");
    const auto read = ReadRecording(path);
    ASSERT_TRUE(read) << read.Reason();
    const Recording& recording = *read;
    EXPECT_EQ(recording.warning, path + " line 3: cut short, left out; the rest is played");
    ASSERT_EQ(recording.inputs.size(), 1u);
    EXPECT_EQ(recording.lastFrame, 9);
    EXPECT_EQ(recording.seed, 42u);
}

TEST(Recording, TheSimulatorRefusesABadRecordingAndOptionsThatAReplayDoesNotTake)
{
    TemporaryFolder folder;
    WriteFile(folder.Path() / "bad.jsonl",
              Header() + "{\"frame\":9,\"input\":\"debug\"}\n{\"frame\":8,\"input\":\"debug\"}\n");
    ProgramRun run = RunProgram(TRYZONE_SIM_PATH, {"--replay", "bad.jsonl", "--events", "e.jsonl"}, folder.Path());
    EXPECT_EQ(run.status, 2);
    EXPECT_EQ(run.err, "tryzone-sim: bad.jsonl line 3: frames out of order\n");
    EXPECT_FALSE(std::filesystem::exists(folder.Path() / "e.jsonl"));
    run = RunProgram(TRYZONE_SIM_PATH, {"--replay", "bad.jsonl", "--matches", "3"}, folder.Path());
    EXPECT_EQ(run.status, 2);
    EXPECT_NE(run.err.find("excludes"), std::string::npos) << run.err;
}

namespace
{
struct Collision
{
    std::vector<std::string> arguments;
    std::string says;
};

class GameOutputs : public ::testing::TestWithParam<Collision>
{
};

} // namespace

TEST_P(GameOutputs, ThatAreInputsOtherOutputsOrUnwritableAreRefusedWithNothingTouched)
{
    TemporaryFolder folder;
    WriteFile(folder.Path() / "PlayersSettings.json", "my own players");
    WriteFile(folder.Path() / "r.jsonl", Header() + "{\"end\":5}\n");
    WriteFile(folder.Path() / "precious.jsonl", "precious");
    WriteFile(folder.Path() / "Hack-Regular.ttf", "a font");
    std::filesystem::create_symlink("target.jsonl", folder.Path() / "dangling");
    const auto before = FolderContents(folder.Path());
    NoDisplay noDisplay;
    const ProgramRun run = RunProgram(TRYZONE_GAME_PATH, GetParam().arguments, folder.Path());
    EXPECT_EQ(run.status, 2);
    EXPECT_EQ(std::count(run.err.begin(), run.err.end(), '\n'), 1) << run.err;
    EXPECT_NE(run.err.find(GetParam().says), std::string::npos) << run.err;
    EXPECT_EQ(FolderContents(folder.Path()), before);
}

INSTANTIATE_TEST_SUITE_P(
    CollidingAndBad, GameOutputs,
    ::testing::Values(
        Collision{{"--seed", "5", "--record", "PlayersSettings.json"},
                  "PlayersSettings.json is the same file as --settings"},
        Collision{{"--replay", "r.jsonl", "--events", "r.jsonl"}, "--events r.jsonl is the same file as --replay"},
        Collision{{"--record", "x.jsonl", "--events", "./x.jsonl"}, "--events ./x.jsonl is the same file as --record"},
        Collision{{"--record", "dangling", "--events", "target.jsonl"}, "is the same file as --record"},
        Collision{{"--settings", "dangling", "--record", "target.jsonl"}, "is the same file as --settings"},
        Collision{{"--record", "Hack-Regular.ttf"}, "is the same file as the font"},
        Collision{{"--record", "precious.jsonl", "--events", "/nonexistent/ev.jsonl"},
                  "cannot write /nonexistent/ev.jsonl"},
        Collision{{"--events", "precious.jsonl", "--record", "."}, "cannot write .: Is a directory"},
        Collision{{"--record", "-"}, "--record cannot write to standard output"},
        Collision{{"--seed", "abc"}, "--seed abc: not a whole number from 0 to 4294967295"}));

TEST(Recording, CapsAFifoAndATrailingBlankLine)
{
    TemporaryFolder folder;
    const auto path = (folder.Path() / "r.jsonl").string();
    const auto refused = [&path](const std::string& text)
    {
        WriteFile(path, text);
        const auto read = ReadRecording(path);
        return read ? std::string() : read.Reason();
    };
    EXPECT_EQ(refused(Header() + "{\"end\":9000000000000000000}\n"),
              path + " line 2: end 9000000000000000000 is not a frame from 0 to 718562874");
    // Each value named as it stands, not taken for another fault.
    EXPECT_EQ(refused(Header() + "{\"end\":1e300}\n"), path + " line 2: end 1e+300 is not a frame from 0 to 718562874");
    EXPECT_EQ(refused(Header() + "{\"frame\":9,\"input\":\"debug\"}\n{\"end\":5}\n"),
              path + " line 3: frames out of order: end 5 before frame 9");
    std::string negativeSeed = Header();
    negativeSeed.replace(negativeSeed.find("\"seed\":42"), 9, "\"seed\":-1");
    EXPECT_EQ(refused(negativeSeed), path + " line 1: seed -1 is not a whole number from 0 to 4294967295");
    EXPECT_EQ(refused(Header() + "{\"frame\":9000000000000,\"input\":\"debug\"}\n"),
              path + " line 2: a frame past 718562874");
    EXPECT_NE(refused(Header() + "{\"frame\":3,\"input\":\"frame_time\",\"seconds\":3.0e38}\n").find("frame time"),
              std::string::npos);
    EXPECT_EQ(refused(Header() + "{\"frame\":3,\"input\":\"debug\"}\n{\"end\":7}\n\n"), "");
    const auto fifo = folder.Path() / "fifo";
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    EXPECT_EQ(ReadRecording(fifo.string()).Reason(), fifo.string() + ": not a regular file");
}

TEST(Recording, AReplayWithAHugeEndStopsBetweenFramesOnSigint)
{
    TemporaryFolder folder;
    WriteFile(folder.Path() / "long.jsonl", Header() + "{\"end\":700000000}\n");
    Restrictions limits;
    limits.timeLimitSeconds = 60;
    const ProgramRun run = RunProgram(
        TRYZONE_SIM_PATH, {"--replay", "long.jsonl", "--events", "e.jsonl", "--json", "r.json"}, folder.Path(), limits,
        [](pid_t pid, const std::filesystem::path&)
        {
            std::this_thread::sleep_for(std::chrono::milliseconds(500));
            kill(pid, SIGINT);
        });
    EXPECT_EQ(run.status, 128 + SIGINT) << run.err;
    EXPECT_FALSE(std::filesystem::exists(folder.Path() / "e.jsonl"));
    EXPECT_FALSE(std::filesystem::exists(folder.Path() / "r.json"));
}

} // namespace tryzone
