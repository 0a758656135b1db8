#include "files/OutputFiles.h"

#include "support/Files.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <optional>

namespace tryzone
{

namespace fs = std::filesystem;

// A rename that fails after others have succeeded puts every replaced file back and removes every new one: the run
// leaves the folder as it found it, second names and temporary files included.
TEST(OutputFiles, AFailedRenameLeavesEveryEarlierFileAsItWas)
{
    TemporaryFolder folder;
    WriteFile(folder.Path() / "a.json", "old a");
    std::optional<OutputFiles> run(std::in_place);
    OutputFiles& files = *run;
    Output& replaced = files.Add("--json", (folder.Path() / "a.json").string(), OutputKind::Text);
    Output& created = files.Add("--csv", (folder.Path() / "b.csv").string(), OutputKind::Text);
    Output& last = files.Add("--events", (folder.Path() / "c.jsonl").string(), OutputKind::Text);
    ASSERT_TRUE(files.Open());
    replaced.Stream() << "new a";
    created.Stream() << "new b";
    last.Stream() << "new c";
    // A folder where the last output goes, made after every output was found writable.
    fs::create_directory(folder.Path() / "c.jsonl");
    fs::create_directory(folder.Path() / "c.jsonl" / "kept");

    const auto committed = files.Commit();
    ASSERT_FALSE(committed);
    EXPECT_NE(committed.Reason().find("c.jsonl"), std::string::npos) << committed.Reason();
    EXPECT_EQ(ReadFile(folder.Path() / "a.json"), "old a");
    EXPECT_FALSE(fs::exists(folder.Path() / "b.csv"));
    run.reset();
    EXPECT_EQ(FileNames(folder.Path()), (std::vector<std::string>{"a.json", "c.jsonl"}));
}


// Outputs show only when the run commits: until then the old files stand and new ones do not exist; a run that
// never commits (stopped, failed) leaves no temporary file; a dropped output is neither written nor left behind.
TEST(OutputFiles, FilesAppearWholeOnlyAtTheCommit)
{
    TemporaryFolder folder;
    const auto at = [&folder](const char* name) { return (folder.Path() / name).string(); };
    WriteFile(at("a.json"), "old a");
    {
        OutputFiles stopped;
        Output& never = stopped.Add("--json", at("a.json"), OutputKind::Text);
        ASSERT_TRUE(stopped.Open());
        never.Stream() << "never";
    }
    EXPECT_EQ(FileNames(folder.Path()), std::vector<std::string>{"a.json"});
    EXPECT_EQ(ReadFile(at("a.json")), "old a");

    OutputFiles files;
    Output& replaced = files.Add("--json", at("a.json"), OutputKind::Text);
    Output& created = files.Add("--heatmap", at("b.png"), OutputKind::Picture);
    Output& dropped = files.Add("--csv", at("c.csv"), OutputKind::Text);
    ASSERT_TRUE(files.Open());
    replaced.Stream() << "new a";
    created.Stream() << "new b";
    dropped.Stream() << "new c";
    EXPECT_EQ(ReadFile(at("a.json")), "old a");
    EXPECT_FALSE(fs::exists(at("b.png")));
    files.Drop(dropped);
    ASSERT_TRUE(files.Commit());
    EXPECT_EQ(ReadFile(at("a.json")), "new a");
    EXPECT_EQ(ReadFile(at("b.png")), "new b");
    EXPECT_EQ(FileNames(folder.Path()), (std::vector<std::string>{"a.json", "b.png"}));
}

// A write that fails fails the commit with the output's name and reason, and no file is replaced; pictures never go
// to standard output, and a folder that takes no files says so before anything is written.
TEST(OutputFiles, FailedWritesAndImpossibleTargetsReplaceNothing)
{
    TemporaryFolder folder;
    const std::string kept = (folder.Path() / "a.json").string();
    WriteFile(kept, "old a");
    {
        OutputFiles full;
        Output& json = full.Add("--json", kept, OutputKind::Text);
        Output& events = full.Add("--events", "/dev/full", OutputKind::Text);
        ASSERT_TRUE(full.Open());
        json.Stream() << "new a";
        events.Stream() << std::string(70000, 'x');
        const auto committed = full.Commit();
        ASSERT_FALSE(committed);
        EXPECT_EQ(committed.Reason(), "cannot write /dev/full: No space left on device");
        EXPECT_EQ(ReadFile(kept), "old a");
    }

    OutputFiles picture;
    picture.Add("--heatmap", "-", OutputKind::Picture);
    const auto refused = picture.Open();
    ASSERT_FALSE(refused);
    EXPECT_EQ(refused.Reason(), "--heatmap cannot write a picture to standard output");

    OutputFiles proc;
    proc.Add("--json", "/proc/tryzone.json", OutputKind::Text);
    const auto none = proc.Open();
    ASSERT_FALSE(none);
    EXPECT_NE(none.Reason().find("takes no new files"), std::string::npos) << none.Reason();
    EXPECT_EQ(FileNames(folder.Path()), std::vector<std::string>{"a.json"});
}

} // namespace tryzone
