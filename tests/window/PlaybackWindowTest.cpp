#include "picture/CairoPicture.h"
#include "run/Recording.h"
#include "run/ReplayPictures.h"
#include "support/DefaultSettingsFile.h"
#include "support/GameFolder.h"
#include "support/GameProcess.h"
#include "support/PictureCompare.h"
#include "support/Program.h"
#include "support/X11.h"

#include <chrono>
#include <filesystem>
#include <gtest/gtest.h>
#include <nlohmann/json.hpp>
#include <sstream>
#include <thread>

namespace tryzone
{

namespace
{
using namespace std::chrono_literals;

// The lines of an event log up to a frame of its match.
std::string Until(const std::string& log, std::int64_t lastFrame)
{
    std::istringstream in(log);
    std::string kept;
    for (std::string line; std::getline(in, line);)
    {
        if (nlohmann::json::parse(line)["frame"].get<std::int64_t>() <= lastFrame)
        {
            kept += line + '\n';
        }
    }
    return kept;
}

std::int64_t LastFrame(const std::string& log)
{
    const auto start = log.rfind("{\"match\"");
    return start == std::string::npos ? 0 : nlohmann::json::parse(log.substr(start))["frame"].get<std::int64_t>();
}

// The centre of the first player of a pure colour, scanning below the score texts.
sf::Vector2i FindPlayer(const sf::Image& image, sf::Color colour)
{
    for (unsigned y = 50; y < image.getSize().y; ++y)
    {
        for (unsigned x = 140; x < 1140; ++x)
        {
            if (image.getPixel(x, y) == colour)
            {
                return {static_cast<int>(x), static_cast<int>(y) + 20}; // from the top of a radius-25 circle
            }
        }
    }
    return {-1, -1};
}

const std::string kPolicyBrain = "1=policy:" TRYZONE_TACTICS_PATH "/../examples/red-policy.safetensors";

using PlaybackWindowTest = GameFolderTest;
} // namespace

TEST_F(PlaybackWindowTest, ARecordingMadeByHandPlaysTheSameMatchInTheWindowAndHeadless)
{
    GameProcess game(folder.Path());
    ASSERT_TRUE(game.Start({"--seed", "77", "--record", "match.jsonl", "--events", "window.jsonl"})) << game.Stderr();
    ASSERT_TRUE(WaitFor([&] { return !Read("window.jsonl").empty(); }));
    ASSERT_TRUE(x11::PressKey(game.Window(), "space"));
    ASSERT_TRUE(x11::PressKey(game.Window(), "KP_5"));
    std::this_thread::sleep_for(300ms);
    // Paused, the picture holds still while the window keeps drawing.
    sf::Image held;
    ASSERT_TRUE(WaitFor(
        [&]
        {
            held = x11::Screenshot(game.Window());
            return held.getSize().x > 0 && FindPlayer(held, sf::Color::Blue).x >= 0;
        }));
    std::this_thread::sleep_for(400ms);
    const sf::Image later = x11::Screenshot(game.Window());
    ASSERT_EQ(held.getSize(), later.getSize());
    EXPECT_TRUE(std::equal(held.getPixelsPtr(), held.getPixelsPtr() + held.getSize().x * held.getSize().y * 4,
                           later.getPixelsPtr()));

    // Pick a blue player, send him off, make him the receiver and hand him the ball.
    const sf::Vector2i blue = FindPlayer(held, sf::Color::Blue);
    ASSERT_GE(blue.x, 0);
    ASSERT_TRUE(x11::Click(game.Window(), 3, blue.x, blue.y));
    ASSERT_TRUE(x11::Click(game.Window(), 2, blue.x, blue.y));
    ASSERT_TRUE(x11::Click(game.Window(), 1, 640, 200));
    ASSERT_TRUE(x11::PressKey(game.Window(), "e"));
    ASSERT_TRUE(x11::PressKey(game.Window(), "space"));
    ASSERT_TRUE(WaitFor([&] { return Read("window.jsonl").find("\"tackle_attempt\"") != std::string::npos; }));
    EXPECT_EQ(game.Close(), 0) << game.Stderr();
    EXPECT_EQ(game.Stderr().find("joueur non valide"), std::string::npos);

    const std::string recording = Read("match.jsonl");
    for (const char* input : {"debug", "pick", "receiver", "steer", "hand"})
    {
        EXPECT_NE(recording.find(std::string("\"input\":\"") + input + "\""), std::string::npos) << input;
    }
    const std::string shown = Read("window.jsonl");
    EXPECT_EQ(ReplayedLog("match.jsonl"), shown);

    // In the window, at x8: the same match, faster, pausing on the recording's last frame.
    GameProcess replay(folder.Path());
    ASSERT_TRUE(replay.Start({"--replay", "match.jsonl", "--events", "replayed.jsonl"})) << replay.Stderr();
    ASSERT_TRUE(x11::PressKey(replay.Window(), "4"));
    ASSERT_TRUE(WaitFor([&] { return replay.Stdout().find("Replay ended at frame") != std::string::npos; }));
    EXPECT_EQ(replay.Close(), 0);
    EXPECT_EQ(Read("replayed.jsonl"), shown);
}

TEST_F(PlaybackWindowTest, SInAPlainGameSavesARecordingOfTheMatchSoFar)
{
    GameProcess game(folder.Path());
    ASSERT_TRUE(game.Start({"--events", "window.jsonl"})) << game.Stderr();
    ASSERT_TRUE(WaitFor([&] { return Read("window.jsonl").find("pass_attempt") != std::string::npos; }));
    ASSERT_TRUE(x11::PressKey(game.Window(), "s"));
    ASSERT_TRUE(WaitFor([&] { return game.Stdout().find("Recording saved to: ") != std::string::npos; }));
    EXPECT_EQ(game.Close(), 0);
    const std::string out = game.Stdout();
    const std::string name = out.substr(out.find("Recording saved to: ") + 20);
    const std::filesystem::path saved = folder.Path() / name.substr(0, name.find('\n'));
    const std::string replayed = ReplayedLog(saved.string());
    ASSERT_FALSE(replayed.empty());
    EXPECT_EQ(replayed, Until(Read("window.jsonl"), LastFrame(replayed)));
}

TEST_F(PlaybackWindowTest, AnEditedSettingsFileIsReadNeverWrittenAndAReloadIsRecorded)
{
    WriteFile(folder.Path() / "mine.json", DefaultsFileText);
    GameProcess game(folder.Path());
    ASSERT_TRUE(game.Start({"--settings", "mine.json", "--record", "match.jsonl", "--events", "window.jsonl"}));
    // Edited once play has begun: a broken file at start-up is replaced by the defaults, as always.
    ASSERT_TRUE(WaitFor([&] { return !Read("window.jsonl").empty(); }));
    const std::string broken = "[{\"PlayerNumber\": 0,";
    WriteFile(folder.Path() / "mine.json", broken);
    ASSERT_TRUE(WaitFor([&] { return game.Stderr().find("JSON parsing error") != std::string::npos; }, 20s))
        << game.Stderr();
    EXPECT_EQ(Read("mine.json"), broken);
    EXPECT_FALSE(std::filesystem::exists(folder.Path() / "mine.json.bak"));

    std::string slower = DefaultsFileText;
    for (std::size_t at = slower.find("300.0"); at != std::string::npos; at = slower.find("300.0", at))
    {
        slower.replace(at, 5, "150.0");
    }
    WriteFile(folder.Path() / "mine.json", slower);
    ASSERT_TRUE(
        WaitFor([&] { return game.Stdout().find("Settings reloaded from mine.json") != std::string::npos; }, 20s));
    ASSERT_TRUE(WaitFor([&] { return Read("window.jsonl").find("\"match\":2,") != std::string::npos; }));
    EXPECT_EQ(game.Close(), 0);
    EXPECT_EQ(Read("mine.json"), slower);
    EXPECT_FALSE(std::filesystem::exists(folder.Path() / "mine.json.bak"));
    EXPECT_NE(Read("match.jsonl").find("\"input\":\"reload\""), std::string::npos);
    EXPECT_EQ(ReplayedLog("match.jsonl"), Read("window.jsonl"));
}

// With the simulator's seed, length, number and brains, the window plays that match to its last frame and stops
// there, through a jump back whose re-play is fed the brains' kept orders; its log, and the log of its recording
// replayed, are the simulator's lines for it, byte for byte.
TEST_F(PlaybackWindowTest, AMatchFromTheSimulatorPlaysToFullTimeInTheWindowWithTheSameLog)
{
    const std::vector<std::string> brains{"--red-brain", "random",    "--brain", "0=runner",
                                          "--brain",     "6=builtin", "--brain", kPolicyBrain};
    std::vector<std::string> simArguments{"--seed", "9",      "--matches",    "2",        "--minutes",
                                          "0.3",    "--json", "results.json", "--events", "sim.jsonl"};
    simArguments.insert(simArguments.end(), brains.begin(), brains.end());
    const ProgramRun sim = RunProgram(TRYZONE_SIM_PATH, simArguments, folder.Path());
    ASSERT_EQ(sim.status, 0) << sim.err;
    const auto results = nlohmann::json::parse(Read("results.json"));
    const std::string seed = std::to_string(results["results"][1]["seed"].get<std::uint32_t>());
    std::string secondMatch;
    std::istringstream in(Read("sim.jsonl"));
    for (std::string line; std::getline(in, line);)
    {
        secondMatch += line.rfind("{\"match\":2,", 0) == 0 ? line + '\n' : "";
    }

    GameProcess game(folder.Path());
    std::vector<std::string> gameArguments{"--seed", seed,       "--minutes",    "0.3",      "--match",
                                           "2",      "--events", "window.jsonl", "--record", "match.jsonl"};
    gameArguments.insert(gameArguments.end(), brains.begin(), brains.end());
    ASSERT_TRUE(game.Start(gameArguments));
    ASSERT_TRUE(WaitFor([&] { return Read("window.jsonl").find("pass_attempt") != std::string::npos; }));
    ASSERT_TRUE(x11::PressKey(game.Window(), "Left"));
    ASSERT_TRUE(x11::PressKey(game.Window(), "4"));
    ASSERT_TRUE(WaitFor([&] { return game.Stdout().find("Full time at frame 2156: Blue ") != std::string::npos; }))
        << game.Stdout();
    // Stopped: neither Space nor a jump forward plays past the last frame.
    ASSERT_TRUE(x11::PressKey(game.Window(), "space"));
    ASSERT_TRUE(x11::PressKey(game.Window(), "Right"));
    std::this_thread::sleep_for(300ms);
    EXPECT_EQ(game.Close(), 0) << game.Stderr();
    EXPECT_EQ(Read("window.jsonl"), secondMatch);
    const std::string recording = Read("match.jsonl");
    EXPECT_NE(recording.find("\"match_frames\":2156,\"match\":2,"), std::string::npos) << recording.substr(0, 200);
    EXPECT_NE(recording.find("{\"end\":2156}"), std::string::npos);
    EXPECT_EQ(ReplayedLog("match.jsonl"), secondMatch);

    // Cut short, the recording replays to its end, then plays on with the brains its header names: the same match.
    EXPECT_NE(recording.find("\"brains\":{\"slots\":[\"runner\",\"policy:"), std::string::npos);
    std::string cut;
    std::istringstream lines(recording);
    for (std::string line; std::getline(lines, line);)
    {
        const auto parsed = nlohmann::json::parse(line);
        if (!parsed.contains("frame") || parsed["frame"].get<std::int64_t>() <= 1000)
        {
            cut += parsed.contains("end") ? "{\"end\":1000}\n" : line + '\n';
        }
    }
    WriteFile(folder.Path() / "cut.jsonl", cut);
    GameProcess replay(folder.Path());
    ASSERT_TRUE(replay.Start({"--replay", "cut.jsonl", "--events", "replayed.jsonl"})) << replay.Stderr();
    ASSERT_TRUE(x11::PressKey(replay.Window(), "4"));
    ASSERT_TRUE(WaitFor([&] { return replay.Stdout().find("Replay ended at frame 1000") != std::string::npos; }));
    ASSERT_TRUE(x11::PressKey(replay.Window(), "space"));
    ASSERT_TRUE(WaitFor([&] { return replay.Stdout().find("Full time at frame 2156") != std::string::npos; }))
        << replay.Stdout();
    EXPECT_EQ(replay.Close(), 0) << replay.Stderr();
    EXPECT_EQ(Read("replayed.jsonl"), secondMatch);
}

TEST_F(PlaybackWindowTest, AnEditedTacticsOrLawsFileRestartsTheMatchAndABrokenOneIsRefused)
{
    const std::filesystem::path tactics = TRYZONE_TACTICS_PATH;
    const std::filesystem::path laws = TRYZONE_LAWS_PATH;
    WriteFile(folder.Path() / "blue.tactics.json", ReadFile(tactics / "default.tactics.json"));
    WriteFile(folder.Path() / "mine.laws.json", ReadFile(laws / "parts.laws.json"));
    GameProcess game(folder.Path());
    ASSERT_TRUE(game.Start({"--seed", "12", "--blue-tactics", "blue.tactics.json", "--red-tactics",
                            (tactics / "fast-break.tactics.json").string(), "--laws", "mine.laws.json", "--record",
                            "match.jsonl", "--events", "window.jsonl"}))
        << game.Stderr();
    ASSERT_TRUE(WaitFor([&] { return !Read("window.jsonl").empty(); }));

    WriteFile(folder.Path() / "blue.tactics.json", ReadFile(tactics / "hold-the-line.tactics.json"));
    ASSERT_TRUE(WaitFor(
        [&] { return game.Stdout().find("Tactics reloaded from blue.tactics.json") != std::string::npos; }, 20s))
        << game.Stdout();
    ASSERT_TRUE(WaitFor([&] { return Read("window.jsonl").find("\"match\":2,") != std::string::npos; }));
    // The laws file is watched the same way.
    WriteFile(folder.Path() / "mine.laws.json", ReadFile(laws / "rugby.laws.json"));
    ASSERT_TRUE(
        WaitFor([&] { return game.Stdout().find("Laws reloaded from mine.laws.json") != std::string::npos; }, 20s))
        << game.Stdout();
    ASSERT_TRUE(WaitFor([&] { return Read("window.jsonl").find("\"match\":3,") != std::string::npos; }));

    const std::string broken = R"({"start": "Idle", "states": [{"name": "Idle", "action": "Sleep"}]})";
    WriteFile(folder.Path() / "blue.tactics.json", broken);
    ASSERT_TRUE(WaitFor(
        [&] { return game.Stderr().find("blue.tactics.json: /states/0/action: unknown action") != std::string::npos; },
        20s))
        << game.Stderr();
    EXPECT_EQ(game.Close(), 0);
    EXPECT_EQ(Read("blue.tactics.json"), broken);
    EXPECT_EQ(Read("window.jsonl").find("\"match\":4,"), std::string::npos);
    // The recording keeps both tactics, the laws and the reloads': the replay needs none of the files.
    std::filesystem::remove(folder.Path() / "blue.tactics.json");
    std::filesystem::remove(folder.Path() / "mine.laws.json");
    EXPECT_EQ(ReplayedLog("match.jsonl"), Read("window.jsonl"));
}

TEST_F(PlaybackWindowTest, AReloadWhilePausedIsShownAndKeptAndASameSizeSameTimeChangeIsSeen)
{
    WriteFile(folder.Path() / "mine.json", DefaultsFileText);
    GameProcess game(folder.Path());
    ASSERT_TRUE(game.Start({"--settings", "mine.json", "--record", "match.jsonl", "--events", "window.jsonl"}));
    ASSERT_TRUE(WaitFor([&] { return !Read("window.jsonl").empty(); }));
    ASSERT_TRUE(x11::PressKey(game.Window(), "space"));
    const auto reloads = [&game]
    {
        const std::string out = game.Stdout();
        std::size_t count = 0;
        for (std::size_t at = out.find("Settings reloaded"); at != std::string::npos;
             at = out.find("Settings reloaded", at + 1))
        {
            ++count;
        }
        return count;
    };
    const auto withSpeed = [](const char* speed)
    {
        std::string text = DefaultsFileText;
        for (std::size_t at = text.find("300.0"); at != std::string::npos; at = text.find("300.0", at))
        {
            text.replace(at, 5, speed);
        }
        return text;
    };
    const auto path = folder.Path() / "mine.json";
    WriteFile(path, withSpeed("150.0"));
    const auto stamp = std::filesystem::last_write_time(path);
    ASSERT_TRUE(WaitFor([&] { return reloads() == 1; }, 20s)) << game.Stdout() << game.Stderr();
    // Paused, the new kick-off is on the screen.
    ASSERT_TRUE(WaitFor([&] { return FindPlayer(x11::Screenshot(game.Window()), sf::Color::Blue).x >= 0; }, 10s));

    // Same size, same modification time: still a change. A touch is none.
    WriteFile(path, withSpeed("151.0"));
    std::filesystem::last_write_time(path, stamp);
    ASSERT_TRUE(WaitFor([&] { return reloads() == 2; }, 20s)) << game.Stdout();
    std::filesystem::last_write_time(path, std::filesystem::file_time_type::clock::now());
    std::this_thread::sleep_for(1500ms);
    EXPECT_EQ(reloads(), 2u);
    EXPECT_EQ(game.Close(), 0) << game.Stderr();

    const std::string recording = Read("match.jsonl");
    std::size_t kept = 0;
    for (std::size_t at = recording.find("\"reload\""); at != std::string::npos;
         at = recording.find("\"reload\"", at + 1))
    {
        ++kept;
    }
    EXPECT_EQ(kept, 2u);
    EXPECT_EQ(ReplayedLog("match.jsonl"), Read("window.jsonl"));
}

// The window's own pixels against the headless picture of the same frame: S in a paused game names the frame it
// shows, and cairo draws that frame of the saved recording. Only anti-aliasing may differ (see CairoPictureTest);
// the bottom rows, where the window's status line lies over the pitch, are left out.
TEST_F(PlaybackWindowTest, CairosPictureOfAPausedFrameIsTheWindowsButForAntiAliasing)
{
    GameProcess game(folder.Path());
    ASSERT_TRUE(game.Start({"--seed", "77"})) << game.Stderr();
    std::this_thread::sleep_for(1500ms); // past the kick-off, players on the move
    ASSERT_TRUE(x11::PressKey(game.Window(), "space"));
    ASSERT_TRUE(x11::PressKey(game.Window(), "s"));
    std::filesystem::path saved;
    ASSERT_TRUE(WaitFor(
        [&]
        {
            for (const auto& entry : std::filesystem::directory_iterator(folder.Path()))
            {
                if (entry.path().filename().string().starts_with("tryzone-77-"))
                {
                    saved = entry.path();
                }
            }
            return !saved.empty();
        }));
    std::this_thread::sleep_for(500ms);
    const sf::Image window = x11::Screenshot(game.Window());
    ASSERT_EQ(window.getSize(), sf::Vector2u(1280, 720));
    const std::string stem = saved.stem().string();
    const std::int64_t frame = std::stoll(stem.substr(stem.rfind('-') + 1));

    const Expected<Recording> recording = ReadRecording(saved.string());
    ASSERT_TRUE(recording) << recording.Reason();
    PictureSpan span;
    span.from = frame;
    span.to = frame;
    FramePicture shown;
    PlayPictures(*recording, span,
                 [&](const ReplayFrame& played)
                 {
                     shown = *played.picture;
                     return true;
                 });
    auto painter = CairoPicture::Make(TRYZONE_FONT_PATH);
    ASSERT_TRUE(painter) << painter.Reason();
    (*painter)->Draw(shown);
    const PictureDifference difference = Compare(window, (*painter)->Rgb(), 600);
    EXPECT_EQ(difference.awayFromEdges, 0) << "frame " << frame;
    EXPECT_LT(difference.farShare, 0.01);
    EXPECT_LT(difference.mean, 1.6);
}

} // namespace tryzone
