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
