#include "run/MatchRunner.h"
#include "run/Recording.h"
#include "support/Files.h"
#include "support/Program.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <gtest/gtest.h>

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

// A whole number where the settings file wants a float: a recording's players follow the file's rules.
std::string WholeNumberRadius()
{
    std::string line = Header();
    const std::size_t at = line.find("\"Radius\":") + 9;
    line.replace(at, line.find(',', at) - at, "25");
    return line;
}

std::vector<std::string> Files(const std::filesystem::path& folder)
{
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder))
    {
        names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
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
    const auto before = Files(folder.Path());
    NoDisplay noDisplay;
    const ProgramRun run = RunProgram(TRYZONE_GAME_PATH, refused.arguments, folder.Path());
    EXPECT_EQ(run.status, 2);
    EXPECT_EQ(std::count(run.err.begin(), run.err.end(), '\n'), 1) << run.err;
    EXPECT_LT(run.err.size(), 200u);
    EXPECT_NE(run.err.find(refused.says), std::string::npos) << run.err;
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(Files(folder.Path()), before);
}

INSTANTIATE_TEST_SUITE_P(
    BadOptionsAndRecordings, GameRefuses,
    ::testing::Values(
        Refused{{"--bogus"}, "", "--bogus"}, Refused{{"--seed", "abc"}, "", "--seed"},
        Refused{{"--seed", "-1"}, "", "--seed"}, Refused{{"--seed", "4294967296"}, "", "--seed"},
        Refused{{"--seed"}, "", "--seed"}, Refused{{"surplus"}, "", "surplus"},
        Refused{{"--replay", "missing.jsonl"}, "", "missing.jsonl"},
        Refused{{"--replay", "bad.jsonl", "--seed", "3"}, "x", "excludes"},
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
    ASSERT_TRUE(std::holds_alternative<Recording>(read)) << std::get<std::string>(read);
    const Recording& recording = std::get<Recording>(read);
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
