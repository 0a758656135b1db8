#include "cli/SensitivityCommand.h"

#include "cli/Options.h"
#include "cli/SimCommands.h"
#include "cli/SimReport.h"
#include "cli/TacticsCommands.h"
#include "experiments/Plot.h"
#include "experiments/Sensitivity.h"
#include "experiments/Simulation.h"
#include "experiments/Variation.h"
#include "files/OutputFiles.h"
#include "files/StopSignals.h"
#include "pool/Cores.h"

#include <charconv>
#include <cmath>
#include <iostream>
#include <limits>
#include <random>

namespace tryzone
{

namespace
{
constexpr int kMostJobs = 1024;
// The players as they are and each of the six float keys down and up; a tactic's numbers add to them.
constexpr int kLineups = 13;

// "10%", "10" or "2.5%": a share strictly between 0 and 100 percent.
double ParseChange(const std::string& text)
{
    const std::string number = text.ends_with('%') ? text.substr(0, text.size() - 1) : text;
    double value = 0.0;
    const auto [end, error] = std::from_chars(number.data(), number.data() + number.size(), value);
    if (number.empty() || error != std::errc() || end != number.data() + number.size() || !std::isfinite(value) ||
        value <= 0.0 || value >= 100.0)
    {
        throw CLI::ValidationError("--change", "'" + text + "' is not a percentage above 0 and below 100, such as 10%");
    }
    return value;
}

void AddRunOptions(CLI::App& command, SensitivityOptions& options)
{
    command
        .add_option_function<std::string>(
            "--matches",
            [&options](const std::string& text)
            { options.matches = static_cast<int>(WholeNumber("--matches", text, 1, kMaxMatches / kLineups)); },
            "matches per change (and for the players as they are), on the same match seeds")
        ->type_name("N")
        ->required();
    command.add_option("--minutes", options.minutes, "simulated minutes per match (default 80)")
        ->type_name("M")
        ->check(CLI::Range(0.001, kMaxMinutes));
    command
        .add_option_function<std::string>(
            "--seed",
            [&options](const std::string& text)
            { options.seed = WholeNumber("--seed", text, 0, std::numeric_limits<std::uint64_t>::max()); },
            "seed of the random numbers; the same seed gives the same ranking, byte for byte")
        ->type_name("S");
    options.jobs = std::min(AvailableCores(), kMostJobs);
    command
        .add_option_function<std::string>(
            "--jobs",
            [&options](const std::string& text)
            { options.jobs = static_cast<int>(WholeNumber("--jobs", text, 1, kMostJobs)); },
            "worker processes (default: the processors this process may use); the ranking is the same")
        ->type_name("N");
}

SimulationPlan MakePlan(const SensitivitySetup& setup, int jobs)
{
    SimulationPlan plan;
    plan.run.lineup = setup.lineup;
    plan.run.seed = setup.seed;
    plan.run.matches = setup.matches;
    plan.run.minutes = setup.minutes;
    plan.run.framesPerMatch = setup.framesPerMatch;
    plan.lineups = SensitivityLineups(setup);
    plan.run.teams = setup.teams;
    plan.lineupTactics = SensitivityTactics(setup);
    plan.lineupNames = SensitivityLineupNames(setup);
    plan.run.laws = setup.laws;
    plan.run.brains = setup.brains;
    plan.jobs = jobs;
    plan.stop = &StopSignal();
    return plan;
}

// The table, JSON, CSV and chart of a finished run, then the commit; the exit status.
int WriteOutputs(const SensitivitySetup& setup, const std::vector<MatchResult>& results, double seconds,
                 OutputFiles& files, const std::array<Output*, 3>& outputs)
{
    const SensitivityTable table = TabulateSensitivity(setup, results);
    PrintSensitivity(files.Summary(), setup, table);
    PrintSpeed(files.Summary(), static_cast<long long>(results.size()) * setup.framesPerMatch, seconds, "",
               setup.framesPerMatch, setup.minutes);
    if (outputs[0] != nullptr)
    {
        outputs[0]->Stream() << SensitivityAsJson(setup, table).dump(2) << '\n';
    }
    if (outputs[1] != nullptr)
    {
        outputs[1]->Stream() << SensitivityCsv(setup, table);
    }
    if (outputs[2] != nullptr)
    {
        const auto chart = PlotSensitivity(setup, table);
        if (!chart)
        {
            return Fail(1, "cannot draw " + outputs[2]->Name() + ": " + chart.Reason());
        }
        outputs[2]->Stream() << *chart;
    }
    const auto done = files.Commit();
    return done ? 0 : Fail(1, done.Reason());
}
} // namespace

void AddSensitivityCommand(CLI::App& app, SensitivityOptions& options)
{
    options.command = app.add_subcommand(
        "sensitivity", "move each float key of a side's players down and up by a share of its value, on the\nsame "
                       "match seeds, and rank the changes by that side's win rate against the players as they are");
    CLI::App& command = *options.command;
    command
        .add_option("--who", options.who,
                    "the side whose players change and whose wins count: blue, red, all "
                    "or slot:N\n(all counts blue's wins)")
        ->type_name("SIDE")
        ->required();
    command.add_option("--change", options.change, "the share each key moves down and up (default 10%)")
        ->type_name("P%");
    AddRunOptions(command, options);
    command
        .add_option_function<std::string>(
            "--settings",
            [&options](const std::string& text)
            {
                options.settings = text;
                options.settingsGiven = true;
            },
            "players' settings, as for a run (default: PlayersSettings.json, or the ten defaults)")
        ->type_name("FILE");
    AddFile(command, "--json", options.jsonFile, "write the ranking as JSON");
    AddFile(command, "--csv", options.csvFile, "write the ranking as CSV");
    AddFile(command, "--plot", options.plotFile, "draw the win rates with their intervals as a PNG (needs gnuplot)");
    AddLawsOption(command, options.lawsFile);
    AddBrainOptions(command, options.brains);
    AddFile(command, "--blue-tactics", options.blueTactics,
            "the blue team's tactics file; with --who blue or all, its numeric parameters are\nranked beside the "
            "float keys");
    AddFile(command, "--red-tactics", options.redTactics,
            "the red team's tactics file; with --who red or all, likewise");
    AddTeamOptions(command, options.brains, {&options.blueTactics, &options.redTactics});
}

namespace
{
// The side, the change and the chart checked into setup; the exit status when one of them is refused.
std::optional<int> ReadSensitivityOptions(const SensitivityOptions& options, SensitivitySetup& setup)
{
    const auto slots = WhoSlots(options.who);
    if (!slots)
    {
        return Fail(2, "bad value for --who: '" + options.who + "' (blue, red, all or slot:N with N from 0 to 9)");
    }
    if (!ReadLawsOption(options.lawsFile, setup.laws))
    {
        return 2;
    }
    setup.lawsFile = options.lawsFile;
    std::vector<std::string> paths;
    for (const std::string* file : {&options.blueTactics, &options.redTactics})
    {
        if (!file->empty())
        {
            paths.push_back(*file);
        }
    }
    std::vector<std::shared_ptr<const CompiledTactic>> tactics;
    if (!ReadTacticsFiles(paths, tactics))
    {
        return 2;
    }
    std::size_t next = 0;
    setup.teams[0] = {options.blueTactics, options.blueTactics.empty() ? nullptr : tactics[next++]};
    setup.teams[1] = {options.redTactics, options.redTactics.empty() ? nullptr : tactics[next]};
    setup.who = options.who;
    setup.slots = *slots;
    Variation side;
    side.who = options.who;
    side.slots = *slots;
    setup.side = WhoseSide(side);
    if (const auto found = FindTacticKeys(setup); !found)
    {
        return Fail(2, found.Reason());
    }
    try
    {
        setup.change = ParseChange(options.change);
    }
    catch (const CLI::ValidationError& error)
    {
        return Fail(2, error.what());
    }
    if (!options.plotFile.empty())
    {
        if (const std::string missing = PlotterMissing(); !missing.empty())
        {
            return Fail(2, missing);
        }
    }
    return std::nullopt;
}
// The files read, which no output may overwrite.
void AddInputs(const SensitivityOptions& options, OutputFiles& files)
{
    const std::array<std::pair<const char*, std::string>, 4> inputs{{
        {"--settings", options.settingsGiven ? options.settings : ""},
        {"--laws", options.lawsFile},
        {"--blue-tactics", options.blueTactics},
        {"--red-tactics", options.redTactics},
    }};
    for (const auto& [option, path] : inputs)
    {
        if (!path.empty())
        {
            files.AddInput(option, path);
        }
    }
    for (const std::string& policy : options.brains.PolicyFiles())
    {
        files.AddInput("--brain", policy);
    }
}
} // namespace

int SensitivityCommand(const SensitivityOptions& options)
{
    SensitivitySetup setup;
    if (const auto status = ReadSensitivityOptions(options, setup))
    {
        return *status;
    }
    Options run;
    run.settings = options.settings;
    run.settingsGiven = options.settingsGiven;
    const auto players = LoadRunPlayers(run, setup.players, std::cout);
    if (!players)
    {
        return 2;
    }
    setup.lineup = *players;
    auto brains = PlanBrains(options.brains, setup.lineup);
    if (!brains)
    {
        return Fail(2, brains.Reason());
    }
    setup.brains = *std::move(brains);
    setup.seed = options.seed.value_or(DrawSeed());
    setup.matches = options.matches;
    setup.minutes = options.minutes;
    setup.framesPerMatch = FramesFor(options.minutes);
    // A tactic's numbers add changes beyond the float keys' that --matches was bounded for.
    const std::size_t lineups = SensitivityLineups(setup).size();
    if (static_cast<long long>(lineups) * setup.matches > kMaxMatches)
    {
        return Fail(2, "bad value for --matches: " + std::to_string(setup.matches) + " for each of " +
                           std::to_string(lineups) + " changes is more than " + std::to_string(kMaxMatches) +
                           " matches");
    }

    CatchStopSignals();
    OutputFiles files;
    AddInputs(options, files);
    const auto add = [&files](const char* option, const std::string& path, OutputKind kind) -> Output*
    { return path.empty() ? nullptr : &files.Add(option, path, kind); };
    const std::array<Output*, 3> outputs{add("--json", options.jsonFile, OutputKind::Text),
                                         add("--csv", options.csvFile, OutputKind::Text),
                                         add("--plot", options.plotFile, OutputKind::Picture)};
    if (const int status = OpenOutputFiles(files); status != 0)
    {
        return status;
    }
    PrintSensitivityHeader(files.Summary(), setup);
    if (const auto done = files.FlushSummary(); !done)
    {
        return Fail(1, done.Reason());
    }
    SimulationPlan plan = MakePlan(setup, options.jobs);
    std::vector<MatchResult> results;
    double seconds = 0.0;
    try
    {
        seconds = PlayWithProgress(plan, static_cast<int>(plan.lineups.size()) * setup.matches, results);
    }
    catch (const SimulationFailure& failure)
    {
        return Fail(1, failure.what());
    }
    if (const int signal = StopSignal(); signal != 0)
    {
        files.Summary() << "Interrupted after " << results.size() << " of " << plan.lineups.size() * setup.matches
                        << " matches: no file written\n";
        static_cast<void>(files.FlushSummary());
        return 128 + signal;
    }
    return WriteOutputs(setup, results, seconds, files, outputs);
}

} // namespace tryzone
