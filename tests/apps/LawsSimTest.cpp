#include "support/Files.h"
#include "support/Program.h"

#include <fstream>
#include <gtest/gtest.h>

namespace tryzone
{

namespace
{
const std::string kLaws = TRYZONE_LAWS_PATH;

class LawsSim : public ::testing::Test
{
protected:
    ProgramRun Sim(const std::vector<std::string>& arguments)
    {
        return RunProgram(TRYZONE_SIM_PATH, arguments, folder.Path());
    }

    // The output without its lines of speed, which differ from run to run.
    static std::string Steady(const std::string& out) { return out.substr(0, out.find("Speed:")); }

    TemporaryFolder folder;
};
} // namespace

// The game's laws as a file change nothing, byte for byte; other laws are named, kept in the JSON, and checked.
TEST_F(LawsSim, ThePartsLawsFileIsTodaysRunAndTheRugbyLawsAreNamedAndChecked)
{
    const std::vector<std::string> run{"--seed", "8", "--matches", "2", "--minutes", "1", "--check"};
    auto with = [&run](std::vector<std::string> more)
    {
        auto arguments = run;
        arguments.insert(arguments.end(), more.begin(), more.end());
        return arguments;
    };
    const ProgramRun plain = Sim(with({"--json", "plain.json", "--events", "plain.jsonl"}));
    const ProgramRun parts =
        Sim(with({"--laws", kLaws + "/parts.laws.json", "--json", "parts.json", "--events", "parts.jsonl"}));
    ASSERT_EQ(parts.status, 0) << parts.err;
    EXPECT_EQ(Steady(parts.out), Steady(plain.out));
    EXPECT_EQ(ReadFile(folder.Path() / "parts.json"), ReadFile(folder.Path() / "plain.json"));
    EXPECT_EQ(ReadFile(folder.Path() / "parts.jsonl"), ReadFile(folder.Path() / "plain.jsonl"));

    const ProgramRun rugby = Sim(with({"--laws", kLaws + "/rugby.laws.json", "--json", "rugby.json"}));
    ASSERT_EQ(rugby.status, 0) << rugby.err;
    EXPECT_NE(rugby.out.find("Laws: " + kLaws + "/rugby.laws.json\n"), std::string::npos) << rugby.out;
    EXPECT_NE(rugby.out.find("none broken"), std::string::npos) << rugby.out;
    EXPECT_NE(ReadFile(folder.Path() / "rugby.json").find("\"forwardPassTolerance\": 4"), std::string::npos);
}

// Parts of one run under other laws are not one run; parts under the same laws merge, laws and all.
TEST_F(LawsSim, MergeRefusesAPartPlayedUnderOtherLaws)
{
    const std::vector<std::string> run{"--seed", "5", "--matches", "2", "--minutes", "0.5"};
    auto shard = [&](const std::string& index, const std::string& out, bool rugby)
    {
        auto arguments = run;
        arguments.insert(arguments.end(), {"--shard", index + "/2", "--json", out});
        if (rugby)
        {
            arguments.insert(arguments.end(), {"--laws", kLaws + "/rugby.laws.json"});
        }
        const ProgramRun played = Sim(arguments);
        ASSERT_EQ(played.status, 0) << played.err;
    };
    shard("0", "a0.json", true);
    shard("1", "a1.json", true);
    shard("1", "b1.json", false);
    const ProgramRun refused = Sim({"merge", "a0.json", "b1.json", "--json", "bad.json"});
    EXPECT_NE(refused.status, 0);
    EXPECT_NE(refused.err.find("other laws"), std::string::npos) << refused.err;
    EXPECT_FALSE(std::filesystem::exists(folder.Path() / "bad.json"));

    const ProgramRun merged = Sim({"merge", "a0.json", "a1.json", "--json", "whole.json"});
    ASSERT_EQ(merged.status, 0) << merged.err;
    EXPECT_NE(merged.out.find("Laws: " + kLaws + "/rugby.laws.json"), std::string::npos) << merged.out;
    EXPECT_NE(ReadFile(folder.Path() / "whole.json").find("\"laws\""), std::string::npos);
}

TEST_F(LawsSim, ABadLawsFileIsOneLineAndStatusTwoBeforeAnythingIsWritten)
{
    std::ofstream(folder.Path() / "bad.laws.json") << R"({"forwardPass": true, "deadBallLine": true})";
    for (const std::vector<std::string>& command :
         {std::vector<std::string>{"--laws", "bad.laws.json", "--json", "out.json"},
          {"league", kLaws + "/../tactics/default.tactics.json", kLaws + "/../tactics/fast-break.tactics.json",
           "--laws", "bad.laws.json", "--json", "out.json"},
          {"sensitivity", "--who", "red", "--matches", "1", "--laws", "bad.laws.json", "--json", "out.json"}})
    {
        const ProgramRun run = Sim(command);
        EXPECT_EQ(run.status, 2) << command.front();
        EXPECT_EQ(run.err, "bad.laws.json: /deadBallLine: unknown key (known: forwardPass, forwardPassTolerance, "
                           "ownTryLineRestart, deadBallLines, description)\n")
            << command.front();
        EXPECT_EQ(run.out, "") << command.front();
        EXPECT_FALSE(std::filesystem::exists(folder.Path() / "out.json")) << command.front();
    }
}

} // namespace tryzone
