#include "cli/TacticsCommands.h"

#include "cli/SimCommands.h"
#include "cli/TacticsGraph.h"
#include "experiments/RunTelemetry.h"
#include "files/OutputFiles.h"
#include "laws/Laws.h"
#include "pool/Cores.h"
#include "pool/Workers.h"
#include "tactics/TacticsFile.h"

#include <filesystem>
#include <iostream>
#include <limits>

namespace tryzone
{

void AddLawsOption(CLI::App& app, std::string& file)
{
    AddFile(app, "--laws", file,
            "the laws file (NAME.laws.json; default: the game's own laws, which are\nlaws/parts.laws.json)");
}

bool ReadLawsOption(const std::string& file, std::shared_ptr<const Laws>& laws)
{
    laws = nullptr;
    if (file.empty())
    {
        return true;
    }
    Expected<Laws> read = ReadLawsFile(file);
    if (!read)
    {
        std::cerr << read.Reason() << std::endl;
        return false;
    }
    if (!AreGameLaws(*read))
    {
        laws = std::make_shared<const Laws>(*read);
    }
    return true;
}

bool ReadTacticsFiles(const std::vector<std::string>& paths,
                      std::vector<std::shared_ptr<const CompiledTactic>>& tactics)
{
    tactics.clear();
    for (const std::string& path : paths)
    {
        TacticsRead read = ReadTacticsFile(path);
        for (const std::string& warning : read.warnings)
        {
            std::cerr << warning << std::endl;
        }
        if (read.tactic == nullptr)
        {
            std::cerr << read.error << std::endl;
            tactics.clear();
            return false;
        }
        tactics.push_back(std::move(read.tactic));
    }
    return true;
}

namespace
{
constexpr int kMostLeagueJobs = 1024;

// The one tactic in the file, its warnings and its error printed; null when it is refused.
std::shared_ptr<const CompiledTactic> ReadOne(const std::string& path)
{
    std::vector<std::shared_ptr<const CompiledTactic>> tactics;
    return ReadTacticsFiles({path}, tactics) ? tactics.front() : nullptr;
}

void AddLeague(CLI::App& app, TacticsCommands& commands)
{
    commands.league = app.add_subcommand(
        "league", "play every pair of tactics both ways round (each as blue and as red) on the same match\nseeds, "
                  "and print each tactic's wins, draws, losses, tries, win rate and rating");
    CLI::App& league = *commands.league;
    league
        .add_option("ENTRANTS", commands.files,
                    "two or more ways of playing: tactics files (NAME.tactics.json), builtin, a brain\n(runner, "
                    "random, hold), a trained policy (FILE.safetensors or policy:FILE) or a team file\n"
                    "(NAME.team.json: {\"tactics\": FILE, \"brain\": NAME, \"brains\": {\"SLOTS\": NAME}})")
        ->type_name("")
        ->required();
    league
        .add_option_function<std::string>(
            "--matches",
            [&commands](const std::string& text)
            { commands.matches = static_cast<int>(WholeNumber("--matches", text, 1, kMaxMatches)); },
            "matches each pair plays each way round (default 10)")
        ->type_name("N");
    league.add_option("--minutes", commands.minutes, "simulated minutes per match (default 80)")
        ->type_name("M")
        ->check(CLI::Range(0.001, kMaxMinutes));
    league
        .add_option_function<std::string>(
            "--seed",
            [&commands](const std::string& text)
            { commands.seed = WholeNumber("--seed", text, 0, std::numeric_limits<std::uint64_t>::max()); },
            "seed of the random numbers; the same seed gives the same table, byte for byte")
        ->type_name("S");
    commands.jobs = std::min(AvailableCores(), kMostLeagueJobs);
    league
        .add_option_function<std::string>(
            "--jobs",
            [&commands](const std::string& text)
            { commands.jobs = static_cast<int>(WholeNumber("--jobs", text, 1, kMostLeagueJobs)); },
            "worker processes (default: the processors this process may use); the table is the same")
        ->type_name("N");
    league
        .add_option_function<std::string>(
            "--shard",
            [&commands](const std::string& text)
            {
                auto parsed = ParseShard(text);
                if (!parsed)
                {
                    throw CLI::ValidationError(parsed.Reason());
                }
                commands.shard = *parsed;
            },
            "play only shard K of N (K from 0 to N-1) of the league's matches; --json then writes a\npart for the "
            "merge subcommand, which gives the whole league's table")
        ->type_name("K/N")
        ->needs("--seed");
    AddFile(league, "--json", commands.jsonFile, "write the table and every match's score as JSON");
    AddFile(league, "--csv", commands.csvFile, "write the table as CSV");
    AddFile(league, "--plot", commands.plotFile, "draw the win rates with their intervals as a PNG (needs gnuplot)");
    AddLawsOption(league, commands.lawsFile);
    league
        .add_option_function<std::string>(
            "--settings",
            [&commands](const std::string& text)
            {
                commands.settings = text;
                commands.settingsGiven = true;
            },
            "players' settings, as for a run (default: PlayersSettings.json, or the ten defaults)")
        ->type_name("FILE");
    league.footer("The table goes to standard output; the same seed gives the same table whatever --jobs.\nExit "
                  "status: 0 on success, 2 for a bad command line or a tactics file that is refused, 1 when\nan "
                  "output file cannot be written.");
}
} // namespace

void AddTacticsOptions(CLI::App& app, Options& options)
{
    AddFile(app, "--blue-tactics", options.blueTactics,
            "the blue team's tactics file (NAME.tactics.json; default: the built-in tactic,\nwhich is "
            "tactics/default.tactics.json)");
    AddFile(app, "--red-tactics", options.redTactics, "the red team's tactics file");
    AddTeamOptions(app, options.brains, {&options.blueTactics, &options.redTactics});
    AddLawsOption(app, options.lawsFile);
}

void AddTacticsCommands(CLI::App& app, TacticsCommands& commands)
{
    commands.tactics = app.add_subcommand("tactics", "check a tactics file and, with --graph, draw its state graph");
    commands.tactics->add_option("FILE", commands.file, "the tactics file")->type_name("")->required();
    AddFile(*commands.tactics, "--graph", commands.graphFile,
            "draw the graph with Graphviz: OUT.png or OUT.svg (states as boxes with their action,\nlinks as "
            "arrows numbered by priority with their conditions)");
    commands.tactics
        ->add_option("--from", commands.fromFile,
                     "with --graph: the JSON of a run or a league (tryzone-sim --json) that played the\ntactic; "
                     "each state is shaded by its share of the player-time and each arrow is\nas wide as its "
                     "firings, the numbers in the labels")
        ->type_name("RUN.json")
        ->needs("--graph");
    commands.tactics->footer("Warnings (a state never reached or never left, a link never taken, ...) go to "
                             "standard error\nand leave the file valid. Exit status: 0 for a valid file, 2 for a "
                             "refused one or a bad\ncommand line, 1 when the picture cannot be drawn or written.");
    AddLeague(app, commands);
}

bool ReadRunTactics(Options& options)
{
    std::vector<std::string> paths;
    for (const std::string* file : {&options.blueTactics, &options.redTactics})
    {
        if (!file->empty())
        {
            paths.push_back(*file);
        }
    }
    std::vector<std::shared_ptr<const CompiledTactic>> tactics;
    if (!ReadTacticsFiles(paths, tactics) || !ReadLawsOption(options.lawsFile, options.tactics.laws))
    {
        return false;
    }
    std::size_t next = 0;
    options.tactics.blue = options.blueTactics.empty() ? nullptr : tactics[next++];
    options.tactics.red = options.redTactics.empty() ? nullptr : tactics[next];
    return true;
}

int TacticsCommand(const TacticsCommands& commands)
{
    const std::string extension = std::filesystem::path(commands.graphFile).extension().string();
    if (!commands.graphFile.empty() && extension != ".png" && extension != ".svg")
    {
        return Fail(2, "--graph needs a file name ending in .png or .svg: " + commands.graphFile);
    }
    const auto tactic = ReadOne(commands.file);
    if (tactic == nullptr)
    {
        return 2;
    }
    // The run's numbers are checked before the file's line says it is good.
    std::optional<TacticTelemetry> numbers;
    if (!commands.fromFile.empty())
    {
        auto read = TelemetryOfRun(commands.fromFile, *tactic, commands.file);
        if (!read)
        {
            return Fail(2, read.Reason());
        }
        numbers = *read;
    }
    const std::size_t states = tactic->states.size();
    const std::string& description = tactic->source.description;
    std::cout << commands.file << ": " << states << (states == 1 ? " state" : " states") << ", start \""
              << tactic->source.start << "\"" << (description.empty() ? "" : ": " + description) << std::endl;
    if (commands.graphFile.empty())
    {
        return 0;
    }
    OutputFiles files;
    files.AddInput("FILE", commands.file);
    if (!commands.fromFile.empty())
    {
        files.AddInput("--from", commands.fromFile);
    }
    Output& picture = files.Add("--graph", commands.graphFile, OutputKind::Picture);
    if (const int status = OpenOutputFiles(files); status != 0)
    {
        return status;
    }
    const auto drawn = DrawTactic(*tactic, extension.substr(1), numbers ? &*numbers : nullptr);
    if (!drawn)
    {
        return Fail(1, "cannot draw " + commands.graphFile + ": " + drawn.Reason());
    }
    picture.Stream() << *drawn;
    if (const auto done = files.Commit(); !done)
    {
        return Fail(1, done.Reason());
    }
    return 0;
}

} // namespace tryzone
