#include "settings/PlayersConfig.h"

#include "settings/PlayersConfigFixtures.h"

#include <cfloat>
#include <filesystem>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

namespace tryzone
{

namespace
{
TEST_F(PlayersConfigLoad, MissingFileIsReportedWithItsName)
{
    const LoadOutcome outcome = LoadFile();

    EXPECT_FALSE(outcome.loaded);
    EXPECT_EQ(outcome.console.out, "");
    EXPECT_EQ(outcome.console.err, "Failed to open config file: " + Path("PlayersSettings.json") + "\n");
    EXPECT_TRUE(outcome.records.empty());

    // The reason is the line itself, for a caller that shows it elsewhere too, as the settings watcher does.
    PlayersConfig config(Path("PlayersSettings.json"));
    const auto loaded = config.Load();
    ASSERT_FALSE(loaded);
    EXPECT_EQ(loaded.Reason() + "\n", outcome.console.err);
}

TEST_F(PlayersConfigLoad, FolderAtTheSettingsPathIsReportedAsUnreadable)
{
    std::filesystem::create_directory(Path("PlayersSettings.json"));

    const LoadOutcome outcome = LoadFile();

    EXPECT_FALSE(outcome.loaded);
    EXPECT_EQ(outcome.console.out, "");
    EXPECT_EQ(outcome.console.err, "Failed to read config file: " + Path("PlayersSettings.json") + "\n");
}

TEST_F(PlayersConfigLoad, FileOverOneMebibyteIsRefusedBeforeParsing)
{
    // Valid but for its size: were it parsed, it would load.
    const std::string valid = ValidThen(10);
    const std::string padding(PlayersConfig::MaxFileBytes - valid.size(), ' ');
    EXPECT_TRUE(LoadText(valid + padding).loaded);

    const LoadOutcome outcome = LoadText(valid + padding + " ");

    EXPECT_FALSE(outcome.loaded);
    EXPECT_EQ(outcome.console.out, "");
    EXPECT_EQ(outcome.console.err, "Config file too large (more than 1 MiB): " + Path("PlayersSettings.json") + "\n");
    EXPECT_TRUE(outcome.records.empty());
}

TEST_F(PlayersConfigLoad, LibraryTextQuotingAHugeValueIsShortened)
{
    const LoadOutcome outcome = LoadText(std::string(500000, '9'));

    EXPECT_FALSE(outcome.loaded);
    const std::string& line = outcome.console.err;
    EXPECT_EQ(line.rfind("Error while loading config: [json.exception.out_of_range.406] number overflow", 0), 0u)
        << line.substr(0, 100);
    EXPECT_LT(line.size(), 300u);
    EXPECT_EQ(line.substr(line.size() - 4), "...\n");
}

TEST_F(PlayersConfigLoad, EveryFieldLandsInItsOwnPlace)
{
    const LoadOutcome outcome = LoadText(Array({Entry().Text(), Entry()
                                                                    .Set("PlayerNumber", "2")
                                                                    .Set("Team", "\"Blue\"")
                                                                    .Set("StartPosition", "[-5, 0.1]")
                                                                    .Set("Radius", "0.0")
                                                                    .Set("Speed", "-12.5")
                                                                    .Set("LuckMultiplier", "2.0")
                                                                    .Set("EnemyIsTooNearDistance", "1e2")
                                                                    .Set("PassCooldown", "3.5")
                                                                    .Set("PassTime", "0.125")
                                                                    .Text()}));

    ASSERT_TRUE(outcome.loaded);
    EXPECT_EQ(outcome.console.out, "Config loaded and validated successfully.\n");
    EXPECT_EQ(outcome.console.err,
              "Warning: slot 0 is on the blue side (slots 0 to 4) but its Team is not \"Blue\".\n");
    const std::vector<PlayerSettings> expected = {{7, 1, {100.5f, 200.25f}, 21.5f, 310.25f, 1.75f, 80.5f, 1.25f, 0.75f},
                                                  {2, 0, {-5.f, 0.1f}, 0.f, -12.5f, 2.f, 100.f, 3.5f, 0.125f}};
    EXPECT_EQ(outcome.records, expected);
}

TEST_F(PlayersConfigLoad, EmptyArrayLoadsWithNoRecords)
{
    const LoadOutcome outcome = LoadText("[]");

    EXPECT_TRUE(outcome.loaded);
    EXPECT_EQ(outcome.console.out, "Config loaded and validated successfully.\n");
    EXPECT_TRUE(outcome.records.empty());
}

TEST_F(PlayersConfigLoad, TenEntriesAreAccepted)
{
    const LoadOutcome outcome = LoadText(ValidThen(10));

    EXPECT_TRUE(outcome.loaded);
    EXPECT_EQ(outcome.records.size(), 10u);
}

TEST_F(PlayersConfigLoad, FloatsMayBeWrittenWithFractionOrExponent)
{
    EXPECT_EQ(LoadAccepted("Radius", "25.0").Radius, 25.f);
    EXPECT_EQ(LoadAccepted("Radius", "2.5e1").Radius, 25.f);
    EXPECT_EQ(LoadAccepted("Speed", "1E2").Speed, 100.f);
    EXPECT_EQ(LoadAccepted("PassTime", "-0.5").PassTime, -0.5f);
    // Still rounds to the largest float rather than to infinity.
    EXPECT_EQ(LoadAccepted("Speed", "3.40282356e38").Speed, FLT_MAX);
}

TEST_F(PlayersConfigLoad, PlayerNumberKeepsItsLowEightBits)
{
    EXPECT_EQ(LoadAccepted("PlayerNumber", "300").PlayerNumber, 44);
    EXPECT_EQ(LoadAccepted("PlayerNumber", "255").PlayerNumber, 255);
    EXPECT_EQ(LoadAccepted("PlayerNumber", "18446744073709551615").PlayerNumber, 255);
}

TEST_F(PlayersConfigLoad, OnlyExactlyBlueIsTheBlueTeam)
{
    EXPECT_EQ(LoadAccepted("Team", "\"Blue\"").Team, 0);
    EXPECT_EQ(LoadAccepted("Team", "\"blue\"").Team, 1);
    EXPECT_EQ(LoadAccepted("Team", "\"\"").Team, 1);
    EXPECT_EQ(LoadAccepted("Team", "\"Blue \"").Team, 1);
    EXPECT_EQ(LoadAccepted("Team", "\"Green\"").Team, 1);
}

TEST_F(PlayersConfigLoad, StartPositionTakesIntegersAndBooleans)
{
    EXPECT_EQ(LoadAccepted("StartPosition", "[100, 200]").StartPosition, sf::Vector2f(100.f, 200.f));
    EXPECT_EQ(LoadAccepted("StartPosition", "[true, false]").StartPosition, sf::Vector2f(1.f, 0.f));
    EXPECT_EQ(LoadAccepted("StartPosition", "[-3, 2.5e2]").StartPosition, sf::Vector2f(-3.f, 250.f));
}

TEST_F(PlayersConfigLoad, ExtraMembersAndTrailingTextAreIgnored)
{
    const LoadOutcome outcome =
        LoadText(Array({Entry().Set("Nickname", "[1, {\"x\": null}]").Text(), Entry().Text()}) + "\n garbage {");

    EXPECT_TRUE(outcome.loaded) << outcome.console.err;
    EXPECT_EQ(outcome.records.size(), 2u);
    EXPECT_EQ(outcome.records[0], outcome.records[1]);
}

// A key given twice loads as ever (the last value wins) but is named, with its slot, on standard error.
TEST_F(PlayersConfigLoad, RepeatedKeyLoadsWithTheLastValueAndAWarning)
{
    const std::string entry = Entry().Set("Team", "\"Blue\"").Text();
    const std::string twice =
        entry.substr(0, entry.size() - 1) + R"(, "Speed": 250.0, "Nickname": {"a": 1, "a": 2}})";
    // The text after the value is not read, repeats included.
    const LoadOutcome outcome = LoadText(Array({entry, twice}) + R"( {"after": 1, "after": 2})");
    ASSERT_TRUE(outcome.loaded) << outcome.console.err;
    EXPECT_EQ(outcome.console.out, "Config loaded and validated successfully.\n");
    ASSERT_EQ(outcome.records.size(), 2u);
    EXPECT_EQ(outcome.records[1].Speed, 250.f);
    const std::string file = Path("PlayersSettings.json");
    EXPECT_EQ(outcome.console.err,
              "Warning: " + file + ": slot 1: key \"Speed\" appears twice; the last value is used\n" + "Warning: " +
                  file + ": /1/Nickname: key \"a\" appears twice; the last value is used\n");
}

TEST_F(PlayersConfigLoad, TeamThatDisagreesWithItsSlotIsUsedWithAWarning)
{
    std::vector<std::string> entries;
    for (int slot = 0; slot < 10; ++slot)
    {
        const bool blue = (slot < 5) != (slot == 2 || slot == 7);
        entries.push_back(Entry().Set("Team", blue ? "\"Blue\"" : "\"Red\"").Text());
    }

    const LoadOutcome outcome = LoadText(Array(entries));

    ASSERT_TRUE(outcome.loaded);
    EXPECT_EQ(outcome.console.err, "Warning: slot 2 is on the blue side (slots 0 to 4) but its Team is not \"Blue\".\n"
                                   "Warning: slot 7 is on the red side (slots 5 to 9) but its Team is \"Blue\".\n");
    ASSERT_EQ(outcome.records.size(), 10u);
    EXPECT_EQ(outcome.records[2].Team, 1);
    EXPECT_EQ(outcome.records[7].Team, 0);
}

// The library quotes the start of an unfinished string; the line's cut must never split a character, whichever
// byte of a two-, three- or four-byte character the length limit falls on.
TEST_F(PlayersConfigLoad, LibraryTextIsCutBetweenCharactersAndStaysValidUtf8)
{
    std::string characters;
    for (int i = 0; i < 40; ++i)
    {
        characters += "\u00e9\u20ac\U0001F600"; // 2 + 3 + 4 bytes
    }
    for (std::size_t shift = 0; shift < 9; ++shift)
    {
        const LoadOutcome outcome = LoadText(std::string(1, '"').append(shift, 'a').append(characters).append("\n\""));

        const std::string& line = outcome.console.err;
        EXPECT_EQ(line.rfind(ParseError, 0), 0u) << line;
        EXPECT_TRUE(line.ends_with("...\n")) << line;
        EXPECT_EQ(std::count(line.begin(), line.end(), '\n'), 1) << line;
        EXPECT_TRUE(IsValidUtf8(line)) << "shift " << shift << ": " << line;
    }
}

TEST_F(PlayersConfigLoad, BytesThatAreNotUtf8AreShownEscaped)
{
    // A file saved as UTF-16: a byte-order mark, then "[]" with a zero after each character.
    const LoadOutcome outcome = LoadText(std::string("\xFF\xFE[\0]\0", 6));

    EXPECT_FALSE(outcome.loaded);
    EXPECT_NE(outcome.console.err.find("\\xFF"), std::string::npos) << outcome.console.err;
    EXPECT_TRUE(IsValidUtf8(outcome.console.err)) << outcome.console.err;
}

class PlayersConfigComplete : public PlayersConfigLoad
{
};

TEST_F(PlayersConfigComplete, ShortFileKeepsItsEntriesAndTakesTheRestFromTheDefaults)
{
    const std::string text = ValidThen(3);
    WriteFile(Path("PlayersSettings.json"), text);
    const std::array<PlayerSettings, 10> defaults = DefaultsAt1280x720();
    PlayersConfig config(Path("PlayersSettings.json"));
    bool loadedOk = false;
    PrintedLoad(config, loadedOk);
    ASSERT_TRUE(loadedOk);
    const std::vector<PlayerSettings> loaded = config.records;

    int appended = 0;
    const Console console = PrintedCompletion(config, defaults, appended);

    EXPECT_EQ(appended, 7);
    EXPECT_EQ(console.out, "Missing players filled in from defaults: 7\n");
    EXPECT_EQ(console.err, "");
    ASSERT_EQ(config.records.size(), 10u);
    EXPECT_TRUE(std::equal(loaded.begin(), loaded.end(), config.records.begin()));
    EXPECT_TRUE(std::equal(defaults.begin() + 3, defaults.end(), config.records.begin() + 3));
    EXPECT_EQ(ReadFile(Path("PlayersSettings.json")), text);
}

TEST_F(PlayersConfigComplete, NoRecordsTakeAllTenDefaults)
{
    const std::array<PlayerSettings, 10> defaults = DefaultsAt1280x720();
    PlayersConfig config("unused");
    int appended = 0;
    const Console console = PrintedCompletion(config, defaults, appended);

    EXPECT_EQ(appended, 10);
    EXPECT_EQ(console.out, "Missing players filled in from defaults: 10\n");
    EXPECT_TRUE(std::equal(defaults.begin(), defaults.end(), config.records.begin(), config.records.end()));
}

TEST_F(PlayersConfigComplete, FullFileIsLeftAloneAndSaysNothing)
{
    PlayersConfig config("unused");
    config.AppendRecords(DefaultsAt1280x720());
    const std::vector<PlayerSettings> before = config.records;
    int appended = -1;
    const Console console = PrintedCompletion(config, DefaultsAt1280x720(), appended);

    EXPECT_EQ(appended, 0);
    EXPECT_EQ(console.out, "");
    EXPECT_EQ(config.records, before);
}
} // namespace

} // namespace tryzone
