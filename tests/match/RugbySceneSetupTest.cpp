#include "core/Random.h"
#include "settings/DefaultPlayerSettings.h"
#include "settings/PlayersConfig.h"
#include "support/DefaultSettingsFile.h"
#include "support/Files.h"
#include "support/TestMatch.h"

#include <algorithm>
#include <filesystem>
#include <gtest/gtest.h>

namespace tryzone
{

namespace
{
// The real set-up, in a folder of its own that stands for the game's working directory.
class SetupTest : public HeadlessWorld
{
protected:
    void Launch()
    {
        testing::internal::CaptureStdout();
        testing::internal::CaptureStderr();
        host.LaunchScene<RugbyScene>();
        // The set-up prints nothing itself; its lines, in order, are the game's to print.
        EXPECT_EQ(testing::internal::GetCapturedStdout() + testing::internal::GetCapturedStderr(), "");
        scene = static_cast<RugbyScene*>(host.CurrentScene());
        for (const SettingsLine& line : scene->settingsLines)
        {
            (line.error ? err : out) += line.text + "\n";
        }
    }

    void ExpectDefaultCentres() const
    {
        const float xs[5] = {192.f, 358.4f, 448.f, 358.4f, 192.f};
        const float ys[5] = {72.f, 108.00000762939453f, 360.f, 612.f, 648.f};
        for (std::size_t k = 0; k < 5; ++k)
        {
            EXPECT_EQ(scene->players[k]->PositionAt(0.5f, 0.5f), sf::Vector2f(xs[k], ys[k])) << k;
            EXPECT_EQ(scene->players[5 + k]->PositionAt(0.5f, 0.5f), sf::Vector2f(1280.f - xs[k], ys[k])) << 5 + k;
        }
    }

    // Writes a settings file as the game itself would.
    static void WriteSettings(const std::array<PlayerSettings, 10>& records)
    {
        PlayersConfig config(kPlayersSettingsFile);
        config.AppendRecords(records);
        ASSERT_TRUE(config.Save());
    }

    static std::array<PlayerSettings, 10> Defaults()
    {
        return DefaultPlayerSettings(KickOffFormation(1280.f, 720.f), 1280.f);
    }

    WorkingInTemporaryFolder folder;
    RugbyScene* scene = nullptr;
    std::string out;
    std::string err;
};
} // namespace

TEST_F(SetupTest, WithoutAFileTheDefaultsAreWrittenAndRedKicksOff)
{
    SeedRandom(1);
    Launch();
    EXPECT_EQ(err, "Failed to open config file: PlayersSettings.json\n");
    EXPECT_EQ(out, "Config saved to: PlayersSettings.json\n");
    EXPECT_EQ(ReadFile("PlayersSettings.json"), DefaultsFileText);
    ExpectDefaultCentres();

    const std::uint8_t lanes[5] = {0, 0, 1, 2, 2};
    for (std::size_t slot = 0; slot < 10; ++slot)
    {
        const Player* player = scene->players[slot];
        EXPECT_EQ(player->team, slot < 5 ? 0 : 1);
        EXPECT_EQ(player->number, slot);
        EXPECT_EQ(player->lane, lanes[slot % 5]);
        EXPECT_EQ(player->shape.getFillColor(), slot < 5 ? sf::Color::Blue : sf::Color::Red);
    }
    ASSERT_NE(scene->ballCarrier, nullptr);
    EXPECT_EQ(scene->ballCarrier->team, 1);
    EXPECT_EQ(scene->ball->holder, scene->ballCarrier);
    EXPECT_EQ(scene->ball->PositionAt(0.5f, 0.5f), scene->ballCarrier->PositionAt(0.5f, 0.5f));
    EXPECT_EQ(scene->ball->shape.getFillColor(), sf::Color::Yellow);

    // Players in slot order, then the ball: the order of updates and of drawing.
    const auto& queued = host.QueuedEntities();
    ASSERT_EQ(queued.size(), 11u);
    EXPECT_EQ(queued.front().get(), scene->players[0]);
    EXPECT_EQ(queued.back().get(), scene->ball);
}

TEST_F(SetupTest, AValidFileIsReadInFileOrderNotByNumber)
{
    std::array<PlayerSettings, 10> reversed = Defaults();
    std::reverse(reversed.begin(), reversed.end());
    reversed[0].Speed = 280.f;
    WriteSettings(reversed);
    const std::string written = ReadFile(kPlayersSettingsFile);

    Launch();
    EXPECT_EQ(out, "Config loaded and validated successfully.\n");
    // Every team is now on the other side's slots: the file is used, with a warning for each slot.
    EXPECT_EQ(std::count(err.begin(), err.end(), '\n'), 10) << err;
    EXPECT_NE(err.find("Warning: slot 9 is on the red side"), std::string::npos) << err;
    const Player* first = scene->players[0];
    EXPECT_EQ(first->number, 9);
    EXPECT_EQ(first->team, 1);
    EXPECT_EQ(first->shape.getFillColor(), sf::Color::Red);
    EXPECT_EQ(first->baseSpeed, 280.f);
    EXPECT_EQ(first->PositionAt(0.5f, 0.5f), sf::Vector2f(1088.f, 648.f));
    EXPECT_EQ(ReadFile(kPlayersSettingsFile), written); // a valid file is never rewritten
}

TEST_F(SetupTest, ABrokenFileIsKeptAsABackupAndTheDefaultsAreUsed)
{
    const std::string broken = "[{\"PlayerNumber\": 3}, 42]";
    WriteFile(kPlayersSettingsFile, broken);
    Launch();
    EXPECT_EQ(err, "Invalid JSON format: missing keys in one of the player entries.\n"
                   "Warning: slot 0: no Team; every entry needs all nine keys\n");
    EXPECT_EQ(out, "Config backed up to: PlayersSettings.json.bak\nConfig saved to: PlayersSettings.json\n");
    EXPECT_EQ(ReadFile("PlayersSettings.json.bak"), broken);
    EXPECT_EQ(ReadFile(kPlayersSettingsFile), DefaultsFileText);
    ExpectDefaultCentres();
}

TEST_F(SetupTest, AShortFileIsCompletedWithTheDefaultsOfTheMissingSlots)
{
    std::array<PlayerSettings, 10> records = Defaults();
    records[0].StartPosition = {300.f, 240.f}; // exactly a third of the height: the top lane
    records[1].StartPosition = {300.f, 480.f}; // exactly two thirds: the bottom lane
    records[2].StartPosition = {300.f, 240.5f};
    WriteSettings(records);
    // Keep only the first three entries of the written file.
    const std::string full = ReadFile(kPlayersSettingsFile);
    std::size_t cut = 0;
    for (int i = 0; i < 3; ++i)
    {
        cut = full.find("\n    }", cut) + 6;
    }
    WriteFile(kPlayersSettingsFile, full.substr(0, cut) + "\n]");
    const std::string shortFile = ReadFile(kPlayersSettingsFile);

    Launch();
    EXPECT_EQ(out, "Config loaded and validated successfully.\nMissing players filled in from defaults: 7\n");
    EXPECT_EQ(scene->players[0]->lane, 0);
    EXPECT_EQ(scene->players[1]->lane, 2);
    EXPECT_EQ(scene->players[2]->lane, 1);
    EXPECT_EQ(scene->players[9]->PositionAt(0.5f, 0.5f), sf::Vector2f(1088.f, 648.f));
    EXPECT_EQ(ReadFile(kPlayersSettingsFile), shortFile);
}

} // namespace tryzone
