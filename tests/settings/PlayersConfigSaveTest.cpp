#include "settings/PlayersConfig.h"
#include "settings/PlayersConfigFixtures.h"
#include "support/DefaultSettingsFile.h"

#include <cfloat>
#include <csignal>
#include <filesystem>
#include <iostream>
#include <sstream>
#include <string>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace tryzone
{

namespace
{
TEST_F(PlayersConfigSave, TenDefaultsAreWrittenByteForByte)
{
    const std::string path = Path("PlayersSettings.json");
    PlayersConfig config(path);
    config.AppendRecords(DefaultsAt1280x720());

    const SaveOutcome outcome = SaveQuietly(config);

    EXPECT_TRUE(outcome.saved);
    EXPECT_EQ(outcome.console.out, "Config saved to: " + path + "\n");
    EXPECT_EQ(outcome.console.err, "");
    EXPECT_EQ(ReadFile(path), DefaultsFileText);
    EXPECT_EQ(FolderEntries(), std::vector<std::string>{"PlayersSettings.json"});
}

TEST_F(PlayersConfigSave, WrittenDefaultsLoadBackEqual)
{
    const std::string path = Path("PlayersSettings.json");
    PlayersConfig config(path);
    config.AppendRecords(DefaultsAt1280x720());
    ASSERT_TRUE(SaveQuietly(config).saved);

    EXPECT_EQ(LoadQuietly(path), config.records);
}

TEST_F(PlayersConfigSave, UnusualValuesSurviveTheRoundTrip)
{
    std::array<PlayerSettings, 10> records = DefaultsAt1280x720();
    records[0] = {255, 1, {-0.1f, 1e-30f}, FLT_MAX, -FLT_MAX, 0.f, 1e-7f, 123456.789f, 0.3f};
    records[9].Team = 7; // any non-zero flag is the red team
    const std::string path = Path("PlayersSettings.json");
    PlayersConfig config(path);
    config.AppendRecords(records);
    ASSERT_TRUE(SaveQuietly(config).saved);

    const std::vector<PlayerSettings> loaded = LoadQuietly(path);

    ASSERT_EQ(loaded.size(), 10u);
    EXPECT_EQ(loaded[0], records[0]);
    EXPECT_EQ(loaded[9].Team, 1);
}

TEST_F(PlayersConfigSave, OnlyTheFirstTenRecordsAreWritten)
{
    const std::string path = Path("PlayersSettings.json");
    PlayersConfig config(path);
    std::array<PlayerSettings, 10> loadedBeforeFailure = DefaultsAt1280x720();
    for (PlayerSettings& record : loadedBeforeFailure)
    {
        record.Speed = 111.5f;
    }
    config.records.assign(loadedBeforeFailure.begin(), loadedBeforeFailure.begin() + 3);
    config.AppendRecords(DefaultsAt1280x720());
    ASSERT_TRUE(SaveQuietly(config).saved);

    const std::vector<PlayerSettings> loaded = LoadQuietly(path);

    EXPECT_EQ(loaded, std::vector<PlayerSettings>(config.records.begin(), config.records.begin() + 10));
}

TEST_F(PlayersConfigSave, LongerFileIsReplacedCompletely)
{
    const std::string path = Path("PlayersSettings.json");
    WriteFile(path, DefaultsFileText + std::string(10000, ' ') + "\n[]\n");
    PlayersConfig config(path);
    config.AppendRecords(DefaultsAt1280x720());

    ASSERT_TRUE(SaveQuietly(config).saved);

    EXPECT_EQ(ReadFile(path), DefaultsFileText);
}

TEST_F(PlayersConfigSave, FolderThatCannotHoldFilesIsReportedAndLeftAlone)
{
    // A regular file where the folder should be stops root as well as anyone else.
    const std::string notAFolder = Path("notAFolder");
    WriteFile(notAFolder, "keep me");
    const std::string path = notAFolder + "/PlayersSettings.json";
    PlayersConfig config(path);
    config.AppendRecords(DefaultsAt1280x720());

    ExpectFailedSave(SaveQuietly(config), path);
    EXPECT_EQ(ReadFile(notAFolder), "keep me");
    EXPECT_EQ(FolderEntries(), std::vector<std::string>{"notAFolder"});
}

TEST_F(PlayersConfigSave, FailureToTakeTheNameLeavesNoTemporaryFile)
{
    // A non-empty folder under the settings name cannot be replaced, so everything but the last step succeeds.
    const std::string path = Path("PlayersSettings.json");
    std::filesystem::create_directory(path);
    WriteFile(path + "/inside", "keep me");
    PlayersConfig config(path);
    config.AppendRecords(DefaultsAt1280x720());

    ExpectFailedSave(SaveQuietly(config), path);
    EXPECT_EQ(ReadFile(path + "/inside"), "keep me");
    EXPECT_EQ(FolderEntries(), std::vector<std::string>{"PlayersSettings.json"});
}

TEST_F(PlayersConfigSave, WriteFailureAfterOpeningKeepsTheOldFile)
{
    const std::string path = Path("PlayersSettings.json");
    const std::string oldText = "[\"the user's own settings\"]";
    WriteFile(path, oldText);
    PlayersConfig config(path);
    config.AppendRecords(DefaultsAt1280x720());
    std::cout.flush();
    std::cerr.flush();

    const pid_t child = fork();
    ASSERT_NE(child, -1);
    if (child == 0)
    {
        // The file size limit lets the temporary file open but stops the text part-way.
        std::signal(SIGXFSZ, SIG_IGN);
        const rlimit limit = {64, 64};
        if (setrlimit(RLIMIT_FSIZE, &limit) != 0)
        {
            _exit(8);
        }
        std::ostringstream out;
        std::ostringstream err;
        std::cout.rdbuf(out.rdbuf());
        std::cerr.rdbuf(err.rdbuf());
        const auto saved = config.Save();
        const int code = (saved ? 1 : 0) | (out.str().empty() ? 0 : 2) |
                         (!saved && saved.Reason() + "\n" == FailedSave + path + "\n" && err.str().empty() ? 0 : 4);
        _exit(code);
    }

    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0) << "1: claimed success, 2: printed to standard output, 4: wrong failure line, "
                                         "8: could not set the limit";
    EXPECT_EQ(ReadFile(path), oldText);
    EXPECT_EQ(FolderEntries(), std::vector<std::string>{"PlayersSettings.json"});
}

// Two games started together in one folder: neither may trip over the other's temporary file, every save succeeds,
// and the file ends whole, as one of them wrote it.
TEST_F(PlayersConfigSave, SavesAtTheSameMomentNeverShareATemporaryFile)
{
    const std::string path = Path("PlayersSettings.json");
    std::array<std::array<PlayerSettings, 10>, 2> records = {DefaultsAt1280x720(), DefaultsAt1280x720()};
    records[1][0].Speed = 123.5f;
    std::array<std::string, 2> texts;
    for (std::size_t i = 0; i < 2; ++i)
    {
        PlayersConfig config(path);
        config.AppendRecords(records[i]);
        ASSERT_TRUE(SaveQuietly(config).saved);
        texts[i] = ReadFile(path);
    }
    std::cout.flush();
    std::cerr.flush();

    std::array<pid_t, 2> children{};
    for (std::size_t i = 0; i < 2; ++i)
    {
        children[i] = fork();
        ASSERT_NE(children[i], -1);
        if (children[i] == 0)
        {
            std::ostringstream quiet;
            std::cout.rdbuf(quiet.rdbuf());
            PlayersConfig config(path);
            config.AppendRecords(records[i]);
            int failures = 0;
            for (int round = 0; round < 200; ++round)
            {
                failures += config.Save().HasValue() ? 0 : 1;
            }
            _exit(failures > 0 ? 1 : 0);
        }
    }
    for (const pid_t child : children)
    {
        int status = 0;
        ASSERT_EQ(waitpid(child, &status, 0), child);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "a save failed";
    }

    const std::string final = ReadFile(path);
    EXPECT_TRUE(final == texts[0] || final == texts[1]) << final;
    EXPECT_EQ(FolderEntries(), std::vector<std::string>{"PlayersSettings.json"});
}

} // namespace

} // namespace tryzone
