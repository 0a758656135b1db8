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
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder.Path()))
    {
        names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{"a.json", "c.jsonl"}));
}

} // namespace tryzone
