#include "cli/Options.h"
#include "cli/SimCommands.h"

#include "settings/PlayersConfig.h"
#include "support/Files.h"

#include <gtest/gtest.h>
#include <sstream>

namespace tryzone
{

// The simulator says what the settings library only returns: the loaded line on the run's summary (which is
// standard error when standard output carries data), the reason of a bad file on standard error, and never writes.
TEST(LoadRunPlayers, PrintsTheFilesLinesWhereTheRunWantsThemAndWritesNothing)
{
    const TemporaryFolder folder;
    Options options;
    options.settingsGiven = true;
    options.settings = (folder.Path() / "short.json").string();
    WriteFile(options.settings, R"([{"PlayerNumber": 0, "Team": "Red", "StartPosition": [1, 2], "Radius": 25.0,
        "Speed": 300.0, "LuckMultiplier": 1.0, "EnemyIsTooNearDistance": 90.0, "PassCooldown": 1.0,
        "PassTime": 0.5}])");
    std::ostringstream summary;
    std::string description;
    testing::internal::CaptureStdout();
    testing::internal::CaptureStderr();
    const auto players = LoadRunPlayers(options, description, summary);
    const std::string out = testing::internal::GetCapturedStdout();
    const std::string err = testing::internal::GetCapturedStderr();
    ASSERT_TRUE(players);
    EXPECT_EQ(players->size(), 10u);
    EXPECT_EQ(description, options.settings);
    EXPECT_EQ(summary.str(), std::string(kLoadedLine) + "\n" + kFilledInPrefix + "9\n");
    EXPECT_EQ(out, "");
    EXPECT_NE(err.find("Warning: slot 0 is on the blue side"), std::string::npos) << err;

    const std::string broken = "[1, 2";
    WriteFile(options.settings, broken);
    std::ostringstream quiet;
    testing::internal::CaptureStderr();
    EXPECT_FALSE(LoadRunPlayers(options, description, quiet));
    EXPECT_EQ(testing::internal::GetCapturedStderr().rfind("JSON parsing error: ", 0), 0u);
    EXPECT_EQ(quiet.str(), "");
    EXPECT_EQ(ReadFile(options.settings), broken);
}

} // namespace tryzone
