// Every option that names a file, of every command of every program, found in the programs' own --help, pointed at
// every file the run reads: the run is refused before anything is played and no file changes. An option added
// without going through the file gate plays, writes over the input and fails here.
#include "run/MatchRunner.h"
#include "run/Recording.h"
#include "settings/DefaultPlayerSettings.h"
#include "support/DefaultSettingsFile.h"
#include "support/Files.h"
#include "support/Program.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <gtest/gtest.h>
#include <map>
#include <regex>
#include <sstream>

namespace tryzone
{

namespace
{
namespace fs = std::filesystem;

struct Command
{
    std::string program;
    std::vector<std::string> subcommand;                   // before --help
    std::vector<std::string> base;                         // a run that reads these files and could play
    std::map<std::string, std::vector<std::string>> extra; // what an option needs besides (--csv needs --vary)
};

// Options and positionals whose type is a file, from the help text: "  --json FILE   write ...".
std::vector<std::string> FileOptions(const std::string& help)
{
    std::vector<std::string> options;
    std::istringstream lines(help);
    const std::regex option(R"(^\s+(--[a-z-]+) FILE\b.*)");
    for (std::string line; std::getline(lines, line);)
    {
        std::smatch found;
        if (std::regex_match(line, found, option))
        {
            options.push_back(found[1]);
        }
    }
    return options;
}

// The subcommands the help lists, so that one the table below lacks is noticed.
std::vector<std::string> Subcommands(const std::string& help)
{
    std::vector<std::string> names;
    std::istringstream lines(help);
    bool listed = false;
    const std::regex subcommand(R"(^  ([a-z-]+)\s{2,}.*)");
    for (std::string line; std::getline(lines, line);)
    {
        std::smatch found;
        if (line == "Subcommands:")
        {
            listed = true;
        }
        else if (line.empty())
        {
            listed = false;
        }
        else if (listed && std::regex_match(line, found, subcommand))
        {
            names.push_back(found[1]);
        }
    }
    return names;
}

// The ways a path can name a file: itself, another spelling, a symbolic link, a hard link.
std::string Spelling(const fs::path& folder, const std::string& name, int way)
{
    const std::string alias = "alias-" + std::to_string(way) + "-" + name;
    switch (way % 4)
    {
    case 1:
        return "./" + name;
    case 2:
        if (!fs::exists(folder / alias))
        {
            fs::create_symlink(name, folder / alias);
        }
        return alias;
    case 3:
        if (!fs::exists(folder / alias))
        {
            fs::create_hard_link(folder / name, folder / alias);
        }
        return alias;
    default:
        return name;
    }
}

// The game, refused, never opens its window; one that got past its checks fails without a display.
class NoDisplay
{
public:
    NoDisplay() : saved(std::getenv("DISPLAY") != nullptr ? std::getenv("DISPLAY") : "") { unsetenv("DISPLAY"); }
    ~NoDisplay()
    {
        if (!saved.empty())
        {
            setenv("DISPLAY", saved.c_str(), 1);
        }
    }
    NoDisplay(const NoDisplay&) = delete;
    NoDisplay& operator=(const NoDisplay&) = delete;

private:
    std::string saved;
};

// The files the runs read: tactics, a policy, a recording, a part, the font and two settings files.
void WriteInputs(const fs::path& here)
{
    fs::copy_file(TRYZONE_TACTICS_PATH "/fast-break.tactics.json", here / "blue.tactics.json");
    fs::copy_file(TRYZONE_TACTICS_PATH "/hold-the-line.tactics.json", here / "red.tactics.json");
    fs::copy_file(TRYZONE_TACTICS_PATH "/../examples/red-policy.safetensors", here / "red.safetensors");
    const auto defaults = DefaultPlayers();
    WriteFile(here / "r.jsonl", HeaderLine(42, {defaults.begin(), defaults.end()}) + EndLine(60));
    WriteFile(here / "Hack-Regular.ttf", "the font");
    EXPECT_EQ(
        RunProgram(TRYZONE_SIM_PATH, {"--seed", "1", "--minutes", "0.01", "--shard", "0/1", "--json", "p0.json"}, here)
            .status,
        0);
    // The default settings file, and another one named by --settings: the defaults written out.
    WriteFile(here / "PlayersSettings.json", DefaultsFileText);
    WriteFile(here / "mine.json", DefaultsFileText);
}

// Every program and subcommand with a run that could play, and the options that only some runs take.
std::vector<Command> Commands()
{
    const std::vector<std::string> run = {"--seed",         "1",
                                          "--minutes",      "0.01",
                                          "--settings",     "mine.json",
                                          "--blue-tactics", "blue.tactics.json",
                                          "--red-tactics",  "red.tactics.json",
                                          "--brain",        "9=policy:red.safetensors"};
    const std::vector<std::string> sweep = {"--vary", "Speed=250,300"};
    return {
        {TRYZONE_SIM_PATH, {}, run, {{"--csv", sweep}, {"--plot", sweep}}},
        {TRYZONE_SIM_PATH, {}, {"--replay", "r.jsonl"}, {}},
        {TRYZONE_SIM_PATH, {"merge"}, {"merge", "p0.json"}, {}},
        {TRYZONE_SIM_PATH,
         {"sensitivity"},
         {"sensitivity", "--who", "red", "--matches", "1", "--minutes", "0.01", "--settings", "mine.json", "--brain",
          "9=policy:red.safetensors"},
         {}},
        {TRYZONE_SIM_PATH, {"tactics"}, {"tactics", "blue.tactics.json"}, {{"--graph", {}}}},
        {TRYZONE_SIM_PATH,
         {"league"},
         {"league", "--matches", "1", "--minutes", "0.01", "--settings", "mine.json", "blue.tactics.json",
          "red.tactics.json"},
         {}},
        {TRYZONE_GAME_PATH,
         {},
         {"--seed", "1", "--minutes", "0.01", "--settings", "mine.json", "--blue-tactics", "blue.tactics.json",
          "--red-tactics", "red.tactics.json", "--red-brain", "policy:red.safetensors"},
         {}},
        {TRYZONE_GAME_PATH, {}, {"--replay", "r.jsonl"}, {}},
        {TRYZONE_BENCH_PATH, {}, {"1", "1"}, {}},
    };
}

// Points each of the command's file options at each file its run reads, in another spelling each time; each run
// must be refused with one line and leave the folder as it was. Returns how many were tried.
int PointEveryOutputAtEveryInput(const Command& command, const fs::path& here, int& way)
{
    int tried = 0;
    std::vector<std::string> help = command.subcommand;
    help.emplace_back("--help");
    const ProgramRun listed = RunProgram(command.program, help, here);
    EXPECT_EQ(listed.status, 0) << command.program;
    // Every file the run reads, and the two every run of every program keeps from harm.
    std::vector<std::string> inputs = {"PlayersSettings.json", "Hack-Regular.ttf"};
    for (const std::string& argument : command.base)
    {
        const std::size_t policy = argument.find("policy:");
        if (policy != std::string::npos)
        {
            inputs.push_back(argument.substr(policy + 7));
        }
        else if (fs::is_regular_file(here / argument))
        {
            inputs.push_back(argument);
        }
    }
    for (const std::string& option : FileOptions(listed.out))
    {
        if (std::find(command.base.begin(), command.base.end(), option) != command.base.end())
        {
            continue; // an input the run already names
        }
        for (const std::string& input : inputs)
        {
            std::vector<std::string> arguments = command.base;
            if (const auto extra = command.extra.find(option); extra != command.extra.end())
            {
                arguments.insert(arguments.end(), extra->second.begin(), extra->second.end());
            }
            std::string target = Spelling(here, input, way++);
            if (option == "--graph")
            {
                // Only pictures are drawn: a link named like one to the input.
                target = "alias-" + std::to_string(way) + ".svg";
                fs::create_symlink(input, here / target);
            }
            arguments.push_back(option);
            arguments.push_back(target);
            const auto before = FolderContents(here);
            const ProgramRun refused =
                RunProgram(command.program, arguments, here, {.fileSizeLimit = std::nullopt, .timeLimitSeconds = 60});
            const std::string what = command.program + " " + ::testing::PrintToString(arguments);
            EXPECT_EQ(refused.status, 2) << what << "\n" << refused.err;
            EXPECT_EQ(std::count(refused.err.begin(), refused.err.end(), '\n'), 1) << what << "\n" << refused.err;
            EXPECT_EQ(FolderContents(here), before) << what;
            ++tried;
        }
    }
    return tried;
}

TEST(EveryOutput, PointedAtAnyInputIsRefusedBeforePlayAndNoFileChanges)
{
    NoDisplay noDisplay;
    TemporaryFolder folder;
    const fs::path& here = folder.Path();
    WriteInputs(here);
    const std::vector<Command> commands = Commands();
    for (const std::string& name : Subcommands(RunProgram(TRYZONE_SIM_PATH, {"--help"}, here).out))
    {
        EXPECT_TRUE(std::any_of(commands.begin(), commands.end(),
                                [&name](const Command& command)
                                { return !command.subcommand.empty() && command.subcommand.front() == name; }))
            << "tryzone-sim " << name << " is not in the table: add it with a run that could play";
    }
    int way = 0;
    int tried = 0;
    for (const Command& command : commands)
    {
        tried += PointEveryOutputAtEveryInput(command, here, way);
    }
    // The commands' outputs: five of a run, two of a replay (and the other five refused beside --replay), four of
    // merge, three of sensitivity and of the league, the graph, two of the game in each mode.
    EXPECT_GE(tried, 60);
}

} // namespace

} // namespace tryzone
