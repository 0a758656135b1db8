// What the simulator writes: never over its inputs or another output, whole or not at all, and its write errors said
// before any play.
#include "apps/SimulatorFixture.h"
#include "support/Files.h"
#include "support/Program.h"

#include <chrono>
#include <csignal>
#include <gtest/gtest.h>
#include <set>
#include <string>
#include <sys/stat.h>
#include <thread>

namespace tryzone
{

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

} // namespace tryzone
