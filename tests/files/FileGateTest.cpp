#include "files/FileGate.h"

#include "support/Files.h"

#include <fcntl.h>
#include <filesystem>
#include <functional>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

namespace tryzone
{

namespace
{
namespace fs = std::filesystem;

struct GateCase
{
    const char* name;
    std::function<void(FileGate&)> declare; // run in a working folder holding PlayersSettings.json and in/
    const char* says;                       // empty: passes Open
};

void PrintTo(const GateCase& gateCase, std::ostream* out)
{
    *out << gateCase.name;
}

class FileGateCases : public ::testing::TestWithParam<GateCase>
{
};

TEST_P(FileGateCases, RefuseWithTheirReasonAndTouchNothing)
{
    WorkingInTemporaryFolder working;
    WriteFile("PlayersSettings.json", "players");
    WriteFile("mine.json", "mine");
    fs::create_hard_link("PlayersSettings.json", "hard.json");
    fs::create_symlink("loop-b", "loop-a");
    fs::create_symlink("loop-a", "loop-b");
    ASSERT_EQ(mkfifo("fifo", 0600), 0);
    fs::create_directory("rec");
    FileGate gate;
    GetParam().declare(gate);
    const auto opened = gate.Open();
    const std::string says = GetParam().says;
    if (says.empty())
    {
        EXPECT_TRUE(opened.HasValue()) << opened.Reason();
    }
    else
    {
        ASSERT_FALSE(opened.HasValue()) << GetParam().name;
        EXPECT_NE(opened.Reason().find(says), std::string::npos) << opened.Reason();
    }
    EXPECT_EQ(ReadFile("PlayersSettings.json"), "players");
    EXPECT_EQ(ReadFile("mine.json"), "mine");
}

const auto kStream = OutputTarget::Stream;
const auto kFile = OutputTarget::File;

INSTANTIATE_TEST_SUITE_P(
    Declared, FileGateCases,
    ::testing::Values(
        GateCase{"DefaultSettingsByHardLink", [](FileGate& g) { g.AddOutput("--json", "hard.json", kStream); },
                 "--json hard.json is the same file as the settings file every plain run reads (PlayersSettings.json)"},
        GateCase{"NamedInputFirst",
                 [](FileGate& g)
                 {
                     g.AddInput("--settings", "mine.json");
                     g.AddOutput("--csv", "./mine.json", kStream);
                 },
                 "--csv ./mine.json is the same file as --settings (mine.json)"},
        GateCase{"TwoOutputsOneFile",
                 [](FileGate& g)
                 {
                     g.AddOutput("--json", "out.json", kStream);
                     g.AddOutput("--csv", "rec/../out.json", kStream);
                 },
                 "--csv rec/../out.json is the same file as --json"},
        GateCase{"TheFont", [](FileGate& g) { g.AddOutput("--json", "Hack-Regular.ttf", kStream); },
                 "is the same file as the font"},
        GateCase{"LinkLoop", [](FileGate& g) { g.AddOutput("--json", "loop-a", kStream); },
                 "cannot write loop-a (--json): a loop of symbolic links"},
        GateCase{"FifoWhereAFileIsNeeded", [](FileGate& g) { g.AddOutput("events", "fifo", kFile); },
                 "cannot write fifo (events): not a regular file (a FIFO)"},
        GateCase{"FifoNobodyReads", [](FileGate& g) { g.AddOutput("--events", "fifo", kStream); },
                 "cannot write fifo: a FIFO with no reader"},
        GateCase{"FifoPart", [](FileGate& g) { g.AddInput("a part to merge", "fifo", true); },
                 "cannot read fifo (a part to merge): not a regular file (a FIFO)"},
        GateCase{"StandardOutputForAFile", [](FileGate& g) { g.AddOutput("--record", "-", kFile); },
                 "--record cannot write to standard output"},
        GateCase{"AFolder", [](FileGate& g) { g.AddOutput("--json", "rec", kStream); },
                 "cannot write rec: Is a directory"},
        GateCase{"MissingFolder", [](FileGate& g) { g.AddOutput("--json", "no/such.json", kStream); },
                 "cannot write no/such.json: No such file or directory"},
        GateCase{"OutputAmongTheFolders",
                 [](FileGate& g)
                 {
                     g.AddOutput("events", "rec/match-12.jsonl", kFile);
                     g.AddOutputFolder("record_dir", "rec", "match-", ".jsonl");
                 },
                 "events rec/match-12.jsonl is in record_dir rec, which gets files named match-N.jsonl"},
        GateCase{"SettingsAsTheFolder",
                 [](FileGate& g) { g.AddOutputFolder("record_dir", "PlayersSettings.json", "match-", ".jsonl"); },
                 "cannot write in record_dir PlayersSettings.json: not a folder"},
        GateCase{"LinkInTheFolder",
                 [](FileGate& g)
                 {
                     fs::create_symlink("../PlayersSettings.json", "rec/match-1.jsonl");
                     g.AddOutputFolder("record_dir", "rec", "match-", ".jsonl");
                 },
                 "rec/match-1.jsonl is a symbolic link"},
        GateCase{"HardLinkInTheFolder",
                 [](FileGate& g)
                 {
                     fs::create_hard_link("mine.json", "rec/match-2.jsonl");
                     g.AddOutputFolder("record_dir", "rec", "match-", ".jsonl");
                 },
                 "rec/match-2.jsonl has other hard links"},
        GateCase{"OtherFilesBesideTheRecordings",
                 [](FileGate& g)
                 {
                     fs::create_symlink("../mine.json", "rec/notes.txt");
                     g.AddOutput("events", "rec/events.jsonl", kFile);
                     g.AddOutputFolder("record_dir", "rec", "match-", ".jsonl");
                 },
                 ""},
        GateCase{"SettingsThroughALink",
                 [](FileGate& g)
                 {
                     fs::create_symlink("PlayersSettings.json", "link.json");
                     g.AddOutput("--csv", "link.json", kStream);
                 },
                 "--csv link.json is the same file as the settings file every plain run reads"},
        GateCase{"TwoOutputsThroughADanglingLink",
                 [](FileGate& g)
                 {
                     fs::create_symlink("rec/new.json", "ghost.json");
                     g.AddOutput("--json", "ghost.json", kStream);
                     g.AddOutput("--csv", "rec/new.json", kStream);
                 },
                 "--csv rec/new.json is the same file as --json"},
        GateCase{"TwoOutputsThroughALinkedFolder",
                 [](FileGate& g)
                 {
                     fs::create_directory_symlink("rec", "alias");
                     g.AddOutput("--json", "rec/a.json", kStream);
                     g.AddOutput("--csv", "alias/a.json", kStream);
                 },
                 "--csv alias/a.json is the same file as --json"},
        GateCase{"DeviceWhereAFileIsNeeded", [](FileGate& g) { g.AddOutput("--record", "/dev/null", kFile); },
                 "cannot write /dev/null (--record): not a regular file (a device or socket); it needs a file"},
        GateCase{"DevicePart", [](FileGate& g) { g.AddInput("a part", "/dev/zero", true); },
                 "cannot read /dev/zero (a part): not a regular file (a device or socket)"},
        GateCase{"FolderPart", [](FileGate& g) { g.AddInput("a part", "rec", true); },
                 "cannot read rec (a part): it is a folder"},
        GateCase{"LoopPart", [](FileGate& g) { g.AddInput("a part", "loop-b", true); },
                 "cannot read loop-b (a part): a loop of symbolic links"},
        GateCase{"MissingPartIsItsReadersToReport", [](FileGate& g) { g.AddInput("a part", "gone.json", true); }, ""},
        GateCase{"FifoSettingsMayBeRead", [](FileGate& g) { g.AddInput("--settings", "fifo"); }, ""},
        GateCase{"AFileAsAFolder", [](FileGate& g) { g.AddOutput("--json", "mine.json/a.json", kStream); },
                 "cannot write mine.json/a.json: Not a directory"},
        GateCase{"LoopAsTheFolder", [](FileGate& g) { g.AddOutputFolder("record_dir", "loop-a", "match-", ".jsonl"); },
                 "cannot write in record_dir loop-a: a loop of symbolic links"},
        GateCase{"FifoInTheFolder",
                 [](FileGate& g)
                 {
                     ASSERT_EQ(mkfifo("rec/match-3.jsonl", 0600), 0);
                     g.AddOutputFolder("record_dir", "rec", "match-", ".jsonl");
                 },
                 "rec/match-3.jsonl is not a regular file"},
        GateCase{"InputAmongTheFolders",
                 [](FileGate& g)
                 {
                     g.AddInput("--replay", "rec/match-7.jsonl");
                     g.AddOutputFolder("record_dir", "./rec/", "match-", ".jsonl");
                 },
                 "--replay rec/match-7.jsonl is in record_dir ./rec/"},
        GateCase{"NamesOutsideThePattern",
                 [](FileGate& g)
                 {
                     g.AddOutput("--json", "rec/match-.jsonl", kStream);
                     g.AddOutput("--csv", "rec/match-1x.jsonl", kStream);
                     g.AddOutput("--events", "rec/match-1.json", kStream);
                     g.AddOutput("--plot", "rec/xmatch-1.jsonl", kStream);
                     g.AddOutputFolder("record_dir", "rec", "match-", ".jsonl");
                 },
                 ""},
        GateCase{"NewFolder", [](FileGate& g) { g.AddOutputFolder("record_dir", "fresh", "match-", ".jsonl"); }, ""},
        GateCase{"NullTakesAnyNumber",
                 [](FileGate& g)
                 {
                     g.AddOutput("--json", "/dev/null", kStream);
                     g.AddOutput("--events", "/dev/null", kStream);
                 },
                 ""}),
    [](const ::testing::TestParamInfo<GateCase>& param) { return param.param.name; });

TEST(FileGate, HandsOverAFifoItsReaderWaitsOnWithoutEverBlocking)
{
    WorkingInTemporaryFolder working;
    ASSERT_EQ(mkfifo("fifo", 0600), 0);
    const int reader = ::open("fifo", O_RDONLY | O_NONBLOCK);
    ASSERT_GE(reader, 0);
    FileGate gate;
    gate.AddOutput("--events", "fifo", OutputTarget::Stream);
    gate.AddOutput("--json", "-", OutputTarget::Stream);
    ASSERT_TRUE(gate.Open().HasValue());
    EXPECT_EQ(gate.TakeStream("--json"), STDOUT_FILENO);
    const int writer = gate.TakeStream("--events");
    ASSERT_GE(writer, 0);
    EXPECT_EQ(gate.TakeStream("--events"), -1) << "handed over once";
    ASSERT_EQ(::write(writer, "line\n", 5), 5);
    char got[8] = {};
    EXPECT_EQ(::read(reader, got, sizeof got), 5);
    ::close(writer);
    ::close(reader);
}

} // namespace

} // namespace tryzone
