#include "files/AtomicFile.h"

#include "support/Files.h"

#include <algorithm>
#include <cerrno>
#include <gtest/gtest.h>
#include <string_view>
#include <sys/stat.h>
#include <unistd.h>

namespace tryzone
{

namespace fs = std::filesystem;

namespace
{
bool Write(int descriptor, std::string_view text)
{
    return ::write(descriptor, text.data(), text.size()) == static_cast<ssize_t>(text.size());
}
} // namespace

// A replaced file keeps its mode, a folder is never replaced, and no temporary file is left either way.
TEST(AtomicFile, AReplacementKeepsTheModeAndAFolderIsRefused)
{
    TemporaryFolder folder;
    const fs::path file = folder.Path() / "settings.json";
    WriteFile(file, "old");
    ASSERT_EQ(::chmod(file.c_str(), 0640), 0);
    ASSERT_TRUE(ReplaceFile(file, [](int descriptor) { return Write(descriptor, "new"); }));
    EXPECT_EQ(ReadFile(file), "new");
    struct stat status = {};
    ASSERT_EQ(::stat(file.c_str(), &status), 0);
    EXPECT_EQ(status.st_mode & 07777, 0640U);

    EXPECT_FALSE(ReplaceFile(file, [](int) { return false; }));
    EXPECT_EQ(ReadFile(file), "new");
    fs::create_directory(folder.Path() / "folder");
    AtomicFile refused;
    EXPECT_EQ(refused.Open(folder.Path() / "folder"), EISDIR);
    EXPECT_EQ(FileNames(folder.Path()), (std::vector<std::string>{"folder", "settings.json"}));
}

// A rename that fails after others have succeeded puts every replaced file back and removes every new one, second
// names and temporary files included.
TEST(AtomicFile, AGroupWhoseLastRenameFailsLeavesEveryEarlierFileAsItWas)
{
    TemporaryFolder folder;
    WriteFile(folder.Path() / "a.json", "old a");
    std::vector<AtomicFile> files(3);
    const std::vector<std::string> names{"a.json", "b.csv", "c.jsonl"};
    for (std::size_t i = 0; i < files.size(); ++i)
    {
        ASSERT_EQ(files[i].Open(folder.Path() / names[i]), 0);
        ASSERT_TRUE(Write(files[i].Descriptor(), "new"));
        ASSERT_EQ(files[i].Finish(), 0);
    }
    // A folder where the last output goes, made after every temporary was created.
    fs::create_directories(folder.Path() / "c.jsonl" / "kept");

    const auto failure = AtomicGroup::CommitAll({&files[0], &files[1], &files[2]});
    ASSERT_TRUE(failure);
    EXPECT_EQ(failure->index, 2U);
    EXPECT_EQ(ReadFile(folder.Path() / "a.json"), "old a");
    files.clear();
    EXPECT_EQ(FileNames(folder.Path()), (std::vector<std::string>{"a.json", "c.jsonl"}));
}

} // namespace tryzone
