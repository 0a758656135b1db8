#include "settings/PlayersConfig.h"
#include "settings/SettingsTestSupport.h"
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
const std::string FailedSave = "Failed to create or open file: ";

// A save that failed says so, on standard error only.
void ExpectFailedSave(const auto& outcome, const std::string& path)
{
    EXPECT_FALSE(outcome.saved);
    EXPECT_EQ(outcome.console.out, "");
    EXPECT_EQ(outcome.console.err, FailedSave + path + "\n");
}

class PlayersConfigSave : public SettingsFolderTest
{
protected:
    struct SaveOutcome
    {
        bool saved = false;
        Console console;
    };

    static SaveOutcome SaveQuietly(const PlayersConfig& config)
    {
        SaveOutcome outcome;
        outcome.console = PrintedSave(config, outcome.saved);
        return outcome;
    }

    static std::vector<PlayerSettings> LoadQuietly(const std::string& path)
    {
        PlayersConfig config(path);
        bool loaded = false;
        PrintedLoad(config, loaded);
        EXPECT_TRUE(loaded);
        return config.records;
    }
};

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

class PlayersConfigBackUp : public PlayersConfigSave
{
protected:
    // The match set-up's steps after a failed load: back up, then save the defaults. Console output is kept.
    bool ReplaceBrokenFileAsTheMatchDoes(const std::string& path)
    {
        PlayersConfig config(path);
        config.AppendRecords(DefaultsAt1280x720());
        bool saved = false;
        output = PrintedBackUpThenSave(config, saved);
        return saved;
    }

    Console output;

    static bool BackUpQuietly(const PlayersConfig& config, Console& console)
    {
        bool kept = false;
        console = PrintedBackUp(config, kept);
        return kept;
    }
};

TEST_F(PlayersConfigBackUp, BrokenFileIsKeptBeforeTheDefaultsGoOverIt)
{
    const std::string path = Path("PlayersSettings.json");
    WriteFile(path, "[{\"PlayerNumber\": 1, \"Team\": \"Blue\"");
    WriteFile(path + ".bak", "an older backup");
    PlayersConfig config(path);

    // The match set-up's sequence after a failed load.
    Console console;
    bool loaded = true;
    PrintedLoad(config, loaded);
    ASSERT_FALSE(loaded);
    ASSERT_TRUE(BackUpQuietly(config, console));
    config.records.clear();
    config.AppendRecords(DefaultsAt1280x720());
    ASSERT_TRUE(SaveQuietly(config).saved);

    EXPECT_EQ(console.out, "Config backed up to: " + path + ".bak\n");
    EXPECT_EQ(console.err, "");
    EXPECT_EQ(ReadFile(path + ".bak"), "[{\"PlayerNumber\": 1, \"Team\": \"Blue\"");
    EXPECT_EQ(ReadFile(path), DefaultsFileText);
}

// The settings kept elsewhere and linked in: the link stays a link, the file it leads to takes the defaults, and the
// backup lies beside that file, through a chain of a relative and an absolute link.
TEST_F(PlayersConfigBackUp, BrokenFileBehindALinkIsReplacedWhereTheLinkLeads)
{
    std::filesystem::create_directories(Path("kept/elsewhere"));
    const std::string target = Path("kept/elsewhere/mine.json");
    WriteFile(target, "[{\"broken\"");
    std::filesystem::create_symlink(target, Path("kept/link.json"));
    const std::string path = Path("PlayersSettings.json");
    std::filesystem::create_symlink("kept/link.json", path);

    ASSERT_TRUE(ReplaceBrokenFileAsTheMatchDoes(path));

    EXPECT_TRUE(std::filesystem::is_symlink(path));
    EXPECT_EQ(std::filesystem::read_symlink(path), "kept/link.json");
    EXPECT_EQ(ReadFile(path), DefaultsFileText);
    EXPECT_EQ(ReadFile(target + ".bak"), "[{\"broken\"");
    EXPECT_EQ(FolderEntries(), (std::vector<std::string>{"PlayersSettings.json", "kept"}));
    EXPECT_EQ(output.out, "Config backed up to: " + target + ".bak\nConfig saved to: " + path + " -> " + target + "\n");
}

TEST_F(PlayersConfigBackUp, DanglingLinkIsAMissingFileAndTheDefaultsGoWhereItPoints)
{
    std::filesystem::create_directory(Path("kept"));
    const std::string path = Path("PlayersSettings.json");
    std::filesystem::create_symlink("kept/mine.json", path);
    PlayersConfig config(path);
    bool loaded = true;
    const Console load = PrintedLoad(config, loaded);
    ASSERT_FALSE(loaded);
    EXPECT_EQ(load.err, "Failed to open config file: " + path + "\n");

    ASSERT_TRUE(ReplaceBrokenFileAsTheMatchDoes(path));

    EXPECT_TRUE(std::filesystem::is_symlink(path));
    EXPECT_EQ(ReadFile(Path("kept/mine.json")), DefaultsFileText);
    EXPECT_FALSE(std::filesystem::exists(Path("kept/mine.json.bak")));
    EXPECT_EQ(output.out, "Config saved to: " + path + " -> " + Path("kept/mine.json") + "\n");
}

TEST_F(PlayersConfigBackUp, DanglingLinkIntoNoFolderSaysSoInOneLineAndCreatesNothing)
{
    const std::string path = Path("PlayersSettings.json");
    std::filesystem::create_symlink("nowhere/mine.json", path);

    EXPECT_FALSE(ReplaceBrokenFileAsTheMatchDoes(path));

    EXPECT_EQ(output.err, FailedSave + path + " -> " + Path("nowhere/mine.json") + "\n");
    EXPECT_EQ(FolderEntries(), std::vector<std::string>{"PlayersSettings.json"});
    EXPECT_TRUE(std::filesystem::is_symlink(path));
}

// A private file stays private, its backup too; and as root, where the owner can be given back, so does its owner.
TEST_F(PlayersConfigBackUp, RewriteKeepsTheModeAndOwnerOfTheFileItReplaces)
{
    const std::string path = Path("PlayersSettings.json");
    WriteFile(path, "broken");
    ASSERT_EQ(chmod(path.c_str(), 0600), 0);
    const bool root = geteuid() == 0;
    if (root)
    {
        ASSERT_EQ(chown(path.c_str(), 1234, 5678), 0);
    }

    ASSERT_TRUE(ReplaceBrokenFileAsTheMatchDoes(path));

    for (const std::string& name : {path, path + ".bak"})
    {
        struct stat status = {};
        ASSERT_EQ(stat(name.c_str(), &status), 0) << name;
        EXPECT_EQ(status.st_mode & 07777, 0600u) << name;
        if (root)
        {
            EXPECT_EQ(status.st_uid, 1234u) << name;
            EXPECT_EQ(status.st_gid, 5678u) << name;
        }
    }
    EXPECT_EQ(ReadFile(path), DefaultsFileText);
    EXPECT_EQ(ReadFile(path + ".bak"), "broken");
}

// What a game finds when another one, started at the same moment on the same broken file, has just kept it and saved
// the defaults: the backup must stay the broken file.
TEST_F(PlayersConfigBackUp, FileAlreadyHoldingWhatWouldBeSavedIsNotBackedUpOverTheBackup)
{
    const std::string path = Path("PlayersSettings.json");
    WriteFile(path, DefaultsFileText);
    WriteFile(path + ".bak", "broken");

    ASSERT_TRUE(ReplaceBrokenFileAsTheMatchDoes(path));

    EXPECT_EQ(ReadFile(path + ".bak"), "broken");
    EXPECT_EQ(ReadFile(path), DefaultsFileText);
    EXPECT_EQ(output.out, "Config saved to: " + path + "\n");
}

TEST_F(PlayersConfigBackUp, MissingFileNeedsNoBackup)
{
    PlayersConfig config(Path("PlayersSettings.json"));
    Console console;

    EXPECT_TRUE(BackUpQuietly(config, console));

    EXPECT_EQ(console.out, "");
    EXPECT_EQ(console.err, "");
    EXPECT_TRUE(FolderEntries().empty());
}

TEST_F(PlayersConfigBackUp, FileThatCannotBeKeptIsLeftInPlace)
{
    // A non-empty folder holding the backup name cannot be replaced, by root either.
    const std::string path = Path("PlayersSettings.json");
    WriteFile(path, "broken");
    std::filesystem::create_directory(path + ".bak");
    WriteFile(path + ".bak/inside", "x");
    PlayersConfig config(path);
    Console console;

    EXPECT_FALSE(BackUpQuietly(config, console));

    EXPECT_EQ(console.out, "");
    EXPECT_EQ(console.err, "Failed to back up config file: " + path + "\n");
    EXPECT_EQ(ReadFile(path), "broken");
}
} // namespace

} // namespace tryzone
