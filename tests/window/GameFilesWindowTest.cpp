// The game's files while it plays: a log reader that goes away, S onto a name already taken, and the log after jumps,
// pauses and debug input, however the game ends.
#include "support/GameFolder.h"
#include "support/GameProcess.h"
#include "support/X11.h"

#include <chrono>
#include <csignal>
#include <fcntl.h>
#include <filesystem>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace tryzone
{

namespace
{
using namespace std::chrono_literals;

std::size_t Count(const std::string& text, const std::string& part)
{
    std::size_t count = 0;
    for (auto at = text.find(part); at != std::string::npos; at = text.find(part, at + 1))
    {
        ++count;
    }
    return count;
}

using GameProcessFilesTest = GameFolderTest;
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

// How a person moves about the match before the game ends, and how it ends (a signal, or 0: the close button).
struct LogEnding
{
    const char* name;
    std::vector<std::string> keys;
    int signal;
};

class GameProcessLogAfterJumps : public GameProcessFilesTest, public ::testing::WithParamInterface<LogEnding>
{
};

TEST_P(GameProcessLogAfterJumps, IsTheReplaysLogOfTheRecordingHoweverTheGameEnds)
{
    GameProcess game(folder.Path());
    ASSERT_TRUE(game.Start({"--seed", "12", "--record", "match.jsonl", "--events", "window.jsonl"}));
    ASSERT_TRUE(x11::PressKey(game.Window(), "4")); // x8: the first pass comes sooner
    ASSERT_TRUE(WaitFor([&] { return Read("window.jsonl").find("pass_attempt") != std::string::npos; }));
    for (const std::string& key : GetParam().keys)
    {
        ASSERT_TRUE(x11::PressKey(game.Window(), key)) << key;
    }
    std::this_thread::sleep_for(300ms);
    const int signal = GetParam().signal;
    EXPECT_EQ(game.Stop(signal), signal == 0 ? 0 : 128 + signal) << game.Stderr();
    const std::string recording = Read("match.jsonl");
    const auto end = recording.rfind("{\"end\":");
    ASSERT_NE(end, std::string::npos) << recording;
    EXPECT_GT(std::stoll(recording.substr(end + 7)), 0) << "the recording ends at the frame shown, past the kick-off";
    EXPECT_EQ(ReplayedLog("match.jsonl"), Read("window.jsonl"));
}

// Named so that it runs alone, as every test of the real game does.
INSTANTIATE_TEST_SUITE_P(
    GameProcess, GameProcessLogAfterJumps,
    ::testing::Values(LogEnding{"HomeThenCtrlC", {"Home"}, SIGINT},
                      LogEnding{"BackForwardPausedBackThenSigterm", {"Left", "Right", "space", "Left"}, SIGTERM},
                      LogEnding{"PausedDebugHomeThenCloseButton", {"space", "KP_5", "Home", "space"}, 0}),
    [](const ::testing::TestParamInfo<LogEnding>& ending) { return std::string(ending.param.name); });

} // namespace tryzone
