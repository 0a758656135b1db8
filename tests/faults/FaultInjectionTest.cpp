// Faults from outside, injected into the real programs: the game must still start and play, the simulator must exit
// with its error, each says what went wrong, and no file that was there before is lost.
#include "support/Display.h"
#include "support/Files.h"
#include "support/GameProcess.h"
#include "support/Program.h"
#include "support/Restrictions.h"

#include <filesystem>
#include <functional>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sstream>
#include <string>
#include <sys/stat.h>
#include <utility>
#include <vector>

namespace tryzone
{

namespace
{
namespace fs = std::filesystem;

const std::string Settings = "PlayersSettings.json";
const std::string Broken = "[{\"PlayerNumber\": 1, \"Team\": ";
const std::string MissingKeys = "Invalid JSON format: missing keys in one of the player entries.";

std::string Nested(std::size_t depth)
{
    return std::string(depth, '[').append(depth, ']');
}

// Built by appending: GCC 12 warns falsely (-Wrestrict) on a literal plus a long string at -O3.
std::string Enclosed(char open, std::size_t length, char fill, char close)
{
    return std::string(1, open).append(length, fill).append(1, close);
}

// Standard error without the graphics library's notices about the GL context it was granted.
std::vector<std::string> OurLines(const std::string& text)
{
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
    {
        const bool notice = line.starts_with("Warning: The created OpenGL context") ||
                            line.starts_with("Requested: version") || line.starts_with("Created: version") ||
                            line == "Setting vertical sync not supported";
        if (!notice)
        {
            lines.push_back(line);
        }
    }
    return lines;
}

// Deep nesting is described without being walked.
const std::string NestedHint = "Warning: slot 0: [...] is an array, not an object with the nine keys";

// The line as printed, or its fixed start where the JSON library's own text follows.
testing::Matcher<std::string> Line(const std::string& text)
{
    if (text.ends_with("..."))
    {
        return testing::StartsWith(text.substr(0, text.size() - 3));
    }
    return testing::Eq(text);
}

struct Fault
{
    const char* name;
    std::function<void(const fs::path& folder)> inject;
    Restrictions restrictions;
    std::vector<std::string> errorLines; // from the game; a line ending in "..." is matched by its start
    std::function<void(const fs::path& folder)> expectNothingLost;

    friend void PrintTo(const Fault& fault, std::ostream* os) { *os << fault.name; }
};

void CopyFont(const fs::path& folder)
{
    fs::copy_file(TRYZONE_FONT_PATH, folder / "Hack-Regular.ttf");
}

void ExpectFile(const fs::path& path, const std::string& text)
{
    EXPECT_EQ(ReadFile(path), text) << path;
}

// A save writes under a temporary name first; none may be left behind, whatever happened.
void ExpectNoTemporaryFile(const fs::path& folder)
{
    for (const auto& entry : fs::recursive_directory_iterator(folder))
    {
        EXPECT_NE(entry.path().filename().string().front(), '.') << entry.path();
    }
}

// A file the load refuses is kept aside whole, and the defaults take its place.
std::function<void(const fs::path&)> KeptAsBackup(const std::string& original)
{
    return [original](const fs::path& folder)
    {
        ExpectFile(folder / (Settings + ".bak"), original);
        EXPECT_NE(ReadFile(folder / Settings).find("\"PlayerNumber\": 9"), std::string::npos);
        ExpectNoTemporaryFile(folder);
    };
}

std::function<void(const fs::path&)> LeftAsItWas(const std::string& original)
{
    return [original](const fs::path& folder)
    {
        ExpectFile(folder / Settings, original);
        EXPECT_FALSE(fs::exists(folder / (Settings + ".bak")));
        ExpectNoTemporaryFile(folder);
    };
}

const Restrictions ObeyPermissions = {std::nullopt, true};

// Where the settings file lives: folders, links and FIFOs, and writes that fail part way.
std::vector<Fault> SettingsPlaceFaults()
{
    return {
        {"SettingsFolderNotWritable",
         [](const fs::path& folder)
         {
             CopyFont(folder);
             fs::permissions(folder, fs::perms::owner_read | fs::perms::owner_exec);
         },
         ObeyPermissions,
         {"Failed to open config file: " + Settings, "Failed to create or open file: " + Settings},
         [](const fs::path& folder) { EXPECT_FALSE(fs::exists(folder / Settings)); }},
        {"BrokenSettingsInAFolderNotWritable",
         [](const fs::path& folder)
         {
             CopyFont(folder);
             WriteFile(folder / Settings, Broken);
             fs::permissions(folder, fs::perms::owner_read | fs::perms::owner_exec);
         },
         ObeyPermissions,
         {"JSON parsing error: [json.exception.parse_error...", "Failed to back up config file: " + Settings},
         LeftAsItWas(Broken)},
        {"SettingsPathIsAFolder",
         [](const fs::path& folder)
         {
             CopyFont(folder);
             fs::create_directory(folder / Settings);
             WriteFile(folder / Settings / "notes.txt", "mine");
         },
         {},
         {"Failed to read config file: " + Settings, "Failed to back up config file: " + Settings},
         [](const fs::path& folder) { ExpectFile(folder / Settings / "notes.txt", "mine"); }},
        {"WriteFailsAfterOpening",
         [](const fs::path& folder)
         {
             CopyFont(folder);
             WriteFile(folder / Settings, Broken);
         },
         // Room for the backup of the broken file, not for the ten defaults.
         {1024, false},
         {"JSON parsing error: [json.exception.parse_error...", "Failed to create or open file: " + Settings},
         [](const fs::path& folder)
         {
             ExpectFile(folder / Settings, Broken);
             ExpectFile(folder / (Settings + ".bak"), Broken);
             ExpectNoTemporaryFile(folder);
         }},
        {"BrokenSettingsBehindALink",
         [](const fs::path& folder)
         {
             CopyFont(folder);
             fs::create_directory(folder / "mine");
             WriteFile(folder / "mine" / "players.json", Broken);
             fs::create_symlink("mine/players.json", folder / Settings);
         },
         {},
         {"JSON parsing error: [json.exception.parse_error..."},
         [](const fs::path& folder)
         {
             EXPECT_TRUE(fs::is_symlink(folder / Settings));
             EXPECT_NE(ReadFile(folder / "mine" / "players.json").find("\"PlayerNumber\": 9"), std::string::npos);
             ExpectFile(folder / "mine" / "players.json.bak", Broken);
             EXPECT_FALSE(fs::exists(folder / (Settings + ".bak")));
             ExpectNoTemporaryFile(folder);
         }},
        {"SettingsPathIsAFifo",
         [](const fs::path& folder)
         {
             CopyFont(folder);
             ASSERT_EQ(mkfifo((folder / Settings).c_str(), 0644), 0);
         },
         {},
         {"Failed to read config file: " + Settings, "Failed to back up config file: " + Settings},
         [](const fs::path& folder)
         {
             EXPECT_TRUE(fs::is_fifo(folder / Settings));
             EXPECT_FALSE(fs::exists(folder / (Settings + ".bak")));
             ExpectNoTemporaryFile(folder);
         }},
    };
}

// What the game's files hold: no font, an unreadable or oversized settings file.
std::vector<Fault> SettingsContentFaults()
{
    return {
        {"FontMissing",
         [](const fs::path&) {},
         {},
         {"Failed to open config file: " + Settings,
          "Failed to load font \"Hack-Regular.ttf\" (failed to create the font face)"},
         [](const fs::path& folder) { EXPECT_TRUE(fs::exists(folder / Settings)); }},
        {"FontIsNotAFont",
         [](const fs::path& folder) { WriteFile(folder / "Hack-Regular.ttf", "not a font"); },
         {},
         {"Failed to open config file: " + Settings,
          "Failed to load font \"Hack-Regular.ttf\" (failed to create the font face)"},
         [](const fs::path& folder) { ExpectFile(folder / "Hack-Regular.ttf", "not a font"); }},
        {"SettingsUnreadable",
         [](const fs::path& folder)
         {
             CopyFont(folder);
             WriteFile(folder / Settings, Broken);
             fs::permissions(folder / Settings, fs::perms::none);
         },
         ObeyPermissions,
         {"Failed to open config file: " + Settings, "Failed to back up config file: " + Settings},
         [](const fs::path& folder)
         {
             fs::permissions(folder / Settings, fs::perms::owner_read);
             LeftAsItWas(Broken)(folder);
         }},
        {"SingleHugeValue",
         [](const fs::path& folder)
         {
             CopyFont(folder);
             WriteFile(folder / Settings, Enclosed('"', 2 << 20, 'x', '"'));
         },
         {},
         {"Config file too large (more than 1 MiB): " + Settings},
         KeptAsBackup(Enclosed('"', 2 << 20, 'x', '"'))},
        {"DeeplyNestedArrays",
         [](const fs::path& folder)
         {
             CopyFont(folder);
             WriteFile(folder / Settings, Nested(400000));
         },
         {},
         {MissingKeys, NestedHint},
         KeptAsBackup(Nested(400000))},
    };
}

std::vector<Fault> GameFaults()
{
    std::vector<Fault> faults = SettingsPlaceFaults();
    for (Fault& fault : SettingsContentFaults())
    {
        faults.push_back(std::move(fault));
    }
    return faults;
}

class GameFault : public testing::TestWithParam<Fault>
{
protected:
    void TearDown() override
    {
        // Give the folder back its permissions, so that it can be removed.
        std::error_code ignored;
        fs::permissions(folder.Path(), fs::perms::owner_all, ignored);
    }

    TemporaryFolder folder;
};

TEST_P(GameFault, TheGameStartsSaysWhatWentWrongAndLosesNoFile)
{
    TRYZONE_REQUIRE_DISPLAY_OR_SKIP();
    const Fault& fault = GetParam();
    fault.inject(folder.Path());

    GameProcess game(folder.Path(), fault.restrictions);
    ASSERT_TRUE(game.Start()) << game.Stderr() << "wait status " << game.EarlyExitStatus();
    EXPECT_EQ(game.Close(), 0) << game.Stderr();

    std::vector<testing::Matcher<std::string>> expected;
    for (const std::string& line : fault.errorLines)
    {
        expected.push_back(Line(line));
    }
    EXPECT_THAT(OurLines(game.Stderr()), testing::ElementsAreArray(expected)) << game.Stderr();
    fs::permissions(folder.Path(), fs::perms::owner_all);
    fault.expectNothingLost(folder.Path());
}

INSTANTIATE_TEST_SUITE_P(Injected, GameFault, testing::ValuesIn(GameFaults()),
                         [](const testing::TestParamInfo<Fault>& row) { return std::string(row.param.name); });

struct SimFault
{
    const char* name;
    std::function<void(const fs::path& folder)> inject;
    Restrictions restrictions;
    std::string errorLine;
    std::vector<std::string> settingsArguments = {}; // none: the default settings file in the working folder
    std::string hint = {};                           // the line after it that says what to fix, if any

    friend void PrintTo(const SimFault& fault, std::ostream* os) { *os << fault.name; }
};

class SimulatorFault : public testing::TestWithParam<SimFault>
{
protected:
    TemporaryFolder folder;
};

// The simulator never writes settings: a file that does not load is its error, and stays as it was.
TEST_P(SimulatorFault, TheSimulatorExitsWithTheLoadErrorAndTouchesNothing)
{
    const SimFault& fault = GetParam();
    fault.inject(folder.Path());
    const fs::file_time_type before = fs::last_write_time(folder.Path() / Settings);

    std::vector<std::string> arguments = {"--minutes", "1"};
    arguments.insert(arguments.end(), fault.settingsArguments.begin(), fault.settingsArguments.end());
    const ProgramRun run = RunProgram(TRYZONE_SIM_PATH, arguments, folder.Path(), fault.restrictions);

    EXPECT_EQ(run.status, 2);
    EXPECT_EQ(run.out, "");
    std::vector<testing::Matcher<std::string>> expected{Line(fault.errorLine)};
    if (!fault.hint.empty())
    {
        expected.push_back(Line(fault.hint));
    }
    EXPECT_THAT(OurLines(run.err), testing::ElementsAreArray(expected)) << run.err;
    EXPECT_EQ(fs::last_write_time(folder.Path() / Settings), before);
    std::vector<fs::path> entries(fs::directory_iterator(folder.Path()), fs::directory_iterator());
    EXPECT_EQ(entries.size(), 1u);
}

INSTANTIATE_TEST_SUITE_P(
    Injected, SimulatorFault,
    testing::Values(
        SimFault{"SettingsPathIsAFolder",
                 [](const fs::path& folder) { fs::create_directory(folder / Settings); },
                 {},
                 "Failed to read config file: " + Settings},
        SimFault{"SettingsUnreadable",
                 [](const fs::path& folder)
                 {
                     WriteFile(folder / Settings, "[]");
                     fs::permissions(folder / Settings, fs::perms::none);
                 },
                 ObeyPermissions, "Failed to open config file: " + Settings},
        SimFault{"FileOverOneMebibyte",
                 [](const fs::path& folder) { WriteFile(folder / Settings, Enclosed('[', 3 << 20, ' ', ']')); },
                 {},
                 "Config file too large (more than 1 MiB): " + Settings},
        SimFault{"SingleHugeNumber",
                 [](const fs::path& folder) { WriteFile(folder / Settings, std::string(1000000, '7')); },
                 {},
                 "Error while loading config: [json.exception.out_of_range.406] number overflow parsing '777..."},
        // A FIFO with no writer would block an ordinary open for ever; the time limit turns a hang into a failure.
        SimFault{"SettingsPathIsAFifo",
                 [](const fs::path& folder) { ASSERT_EQ(mkfifo((folder / Settings).c_str(), 0644), 0); },
                 {std::nullopt, false, 20},
                 "Failed to read config file: " + Settings,
                 {"--settings", Settings}},
        SimFault{"SettingsLinkToADevice",
                 [](const fs::path& folder) { fs::create_symlink("/dev/zero", folder / Settings); },
                 {std::nullopt, false, 20},
                 "Failed to read config file: " + Settings},
        SimFault{"DeeplyNestedArrays",
                 [](const fs::path& folder) { WriteFile(folder / Settings, Nested(500000)); },
                 {},
                 MissingKeys,
                 {},
                 NestedHint}),
    [](const testing::TestParamInfo<SimFault>& row) { return std::string(row.param.name); });
} // namespace

} // namespace tryzone
