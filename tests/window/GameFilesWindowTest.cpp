// The game's files while it plays: a log reader that goes away, S onto a name already taken, and the log after a jump
// back to the kick-off, however the game ends.
#include "support/Display.h"
#include "support/GameProcess.h"
#include "support/Program.h"
#include "support/X11.h"

#include <chrono>
#include <csignal>
#include <fcntl.h>
#include <filesystem>
#include <functional>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace tryzone
{

namespace
{
using namespace std::chrono_literals;

bool WaitFor(const std::function<bool()>& done, std::chrono::seconds timeout = 60s)
{
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (!done())
    {
        if (std::chrono::steady_clock::now() > deadline)
        {
            return false;
        }
        std::this_thread::sleep_for(100ms);
    }
    return true;
}

std::size_t Count(const std::string& text, const std::string& part)
{
    std::size_t count = 0;
    for (auto at = text.find(part); at != std::string::npos; at = text.find(part, at + 1))
    {
        ++count;
    }
    return count;
}

class GameProcessFilesTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        TRYZONE_REQUIRE_DISPLAY_OR_SKIP();
        std::filesystem::copy_file(TRYZONE_FONT_PATH, folder.Path() / "Hack-Regular.ttf");
    }

    std::string Read(const std::string& name) { return ReadFile(folder.Path() / name); }

    // The event log tryzone-sim --replay gives for a recording of the folder.
    std::string Replayed(const std::string& recording)
    {
        const ProgramRun run =
            RunProgram(TRYZONE_SIM_PATH, {"--replay", recording, "--events", "replayed.jsonl"}, folder.Path());
        EXPECT_EQ(run.status, 0) << run.err;
        return Read("replayed.jsonl");
    }

    TemporaryFolder folder;
};
} // namespace

TEST_F(GameProcessFilesTest, AClosedLogPipeIsSaidOnceAndPlayGoesOnAndSNeverReplacesAFile)
{
    const auto fifo = folder.Path() / "ev.fifo";
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    // The reader is there before the game starts, as a pipe's would be, and then goes away.
    const int reader = ::open(fifo.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    ASSERT_GE(reader, 0);
    GameProcess game(folder.Path());
    ASSERT_TRUE(game.Start({"--seed", "5", "--record", "pr.jsonl", "--events", "ev.fifo"})) << game.Stderr();
    ::close(reader);
    ASSERT_TRUE(WaitFor([&] { return game.Stderr().find("Broken pipe") != std::string::npos; })) << game.Stderr();

    // Paused, two saves of one frame: the second gets a name of its own.
    ASSERT_TRUE(x11::PressKey(game.Window(), "space"));
    std::this_thread::sleep_for(300ms);
    ASSERT_TRUE(x11::PressKey(game.Window(), "s"));
    ASSERT_TRUE(WaitFor([&] { return Count(game.Stdout(), "Recording saved to: ") == 1; })) << game.Stdout();
    ASSERT_TRUE(x11::PressKey(game.Window(), "s"));
    ASSERT_TRUE(WaitFor([&] { return Count(game.Stdout(), "Recording saved to: ") == 2; })) << game.Stdout();

    EXPECT_EQ(game.Close(), 1) << "a failed output is the exit status";
    EXPECT_EQ(Count(game.Stderr(), "Broken pipe"), 1u) << game.Stderr();
    const std::string recording = Read("pr.jsonl");
    EXPECT_NE(recording.find("{\"end\":"), std::string::npos) << "the recording still ends";

    const std::string out = game.Stdout();
    const auto first = out.find("Recording saved to: ") + 20;
    const std::string name = out.substr(first, out.find('\n', first) - first);
    const auto second = out.find("Recording saved to: ", first) + 20;
    const std::string copy = out.substr(second, out.find('\n', second) - second);
    EXPECT_EQ(copy, name.substr(0, name.size() - 6) + "-2.jsonl");
    EXPECT_EQ(Read(name), Read(copy)) << "one frame, one match: the same recording twice, neither replaced";
}

class GameProcessLogAfterHome : public GameProcessFilesTest, public ::testing::WithParamInterface<int>
{
};

TEST_P(GameProcessLogAfterHome, IsTheReplaysLogOfTheRecordingHoweverTheGameEnds)
{
    GameProcess game(folder.Path());
    ASSERT_TRUE(game.Start({"--seed", "12", "--record", "match.jsonl", "--events", "window.jsonl"}));
    ASSERT_TRUE(WaitFor([&] { return Read("window.jsonl").find("pass_attempt") != std::string::npos; }));
    ASSERT_TRUE(x11::PressKey(game.Window(), "Home"));
    std::this_thread::sleep_for(300ms);
    const int signal = GetParam();
    EXPECT_EQ(game.Stop(signal), signal == 0 ? 0 : 128 + signal) << game.Stderr();
    EXPECT_EQ(Replayed("match.jsonl"), Read("window.jsonl"));
}

// Named so that it runs alone, as every test of the real game does. SIGTERM and the close button end the game through
// the same Finish as Ctrl-C; one ending keeps the suite's time.
INSTANTIATE_TEST_SUITE_P(GameProcess, GameProcessLogAfterHome, ::testing::Values(SIGINT));

} // namespace tryzone
