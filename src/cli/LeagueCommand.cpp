#include "files/StopSignals.h"
#include "batch/League.h"
#include "files/OutputFiles.h"
#include "batch/Plot.h"
#include "batch/Simulation.h"
#include "cli/SimCommands.h"
#include "cli/TacticsCommands.h"
#include "tactics/TacticsFile.h"

#include <cstring>
#include <filesystem>
#include <random>

namespace tryzone
{

namespace
{
constexpr std::string_view kTacticsSuffix = ".tactics.json";

std::string EntryName(const std::string& file)
{
    std::string name = std::filesystem::path(file).filename().string();
    if (name.size() > kTacticsSuffix.size() && name.ends_with(kTacticsSuffix))
    {
        name.resize(name.size() - kTacticsSuffix.size());
    }
    return name;
}

struct LeagueOutputs
{
    Output* json = nullptr;
    Output* csv = nullptr;
    Output* plot = nullptr;
};

// The outputs, opened before anything is played; the exit status, 0 when they are.
int OpenOutputs(const TacticsCommands& commands, OutputFiles& files, LeagueOutputs& outputs)
{
    for (const std::string& file : commands.files)
    {
        files.AddInput("TACTICS", file);
    }
    if (!commands.lawsFile.empty())
    {
        files.AddInput("--laws", commands.lawsFile);
    }
    files.AddInput(commands.settingsGiven ? "--settings" : "the settings file read when present", commands.settings);
    const auto add = [&files](const char* option, const std::string& path, OutputKind kind) -> Output*
    { return path.empty() ? nullptr : &files.Add(option, path, kind); };
    outputs.json = add("--json", commands.jsonFile, OutputKind::Text);
    outputs.csv = add("--csv", commands.csvFile, OutputKind::Text);
    outputs.plot = add("--plot", commands.plotFile, OutputKind::Picture);
    return OpenOutputFiles(files);
}

SimulationPlan MakePlan(const LeagueSetup& setup, int jobs)
{
    SimulationPlan plan;
    plan.players = setup.players;
    plan.pairings = PairingTactics(setup.entries, LeaguePairings(static_cast<int>(setup.entries.size())));
    for (MatchTactics& pairing : plan.pairings)
    {
        pairing.laws = setup.laws;
    }
    plan.seed = setup.seed;
    plan.matches = setup.matches;
    plan.framesPerMatch = setup.framesPerMatch;
    plan.jobs = jobs;
    plan.stop = &StopSignal();
    return plan;
}
} // namespace

int LeagueCommand(const TacticsCommands& commands)
{
    if (commands.files.size() < 2)
    {
        return Fail(2, "a league needs two tactics files or more");
    }
    LeagueSetup setup;
    std::vector<std::shared_ptr<const CompiledTactic>> tactics;
    if (!ReadTacticsFiles(commands.files, tactics) || !ReadLawsOption(commands.lawsFile, setup.laws))
    {
        return 2;
    }
    setup.lawsFile = commands.lawsFile;
    Options run;
    run.settings = commands.settings;
    run.settingsGiven = commands.settingsGiven;
    auto players = LoadRunPlayers(run, setup.playersFrom, std::cout);
    if (!players)
    {
        return 2;
    }
    setup.players = std::move(*players);
    for (std::size_t i = 0; i < tactics.size(); ++i)
    {
        setup.entries.push_back({EntryName(commands.files[i]), commands.files[i], tactics[i]});
    }
    if (!commands.plotFile.empty())
    {
        if (const std::string missing = PlotterMissing(); !missing.empty())
        {
            return Fail(2, missing);
        }
    }
    setup.seed = commands.seed.value_or(DrawSeed());
    setup.matches = commands.matches;
    setup.minutes = commands.minutes;
    setup.framesPerMatch = FramesFor(commands.minutes);

    CatchStopSignals();
    OutputFiles files;
    LeagueOutputs outputs;
    if (const int status = OpenOutputs(commands, files, outputs); status != 0)
    {
        return status;
    }
    std::vector<MatchResult> results;
    try
    {
        results = Simulate(MakePlan(setup, commands.jobs));
    }
    catch (const SimulationFailure& failure)
    {
        return Fail(1, failure.what());
    }
    if (const int signal = StopSignal(); signal != 0)
    {
        files.Summary() << "Interrupted: no file written\n";
        return 128 + signal;
    }
    const std::vector<LeagueRow> rows = TabulateLeague(setup, results);
    PrintLeague(files.Summary(), setup, rows);
    if (outputs.json != nullptr)
    {
        outputs.json->Stream() << LeagueAsJson(setup, rows, results).dump(2) << '\n';
    }
    if (outputs.csv != nullptr)
    {
        outputs.csv->Stream() << LeagueCsv(setup, rows);
    }
    if (outputs.plot != nullptr)
    {
        const auto chart = PlotLeague(setup, rows);
        if (!chart)
        {
            return Fail(1, "cannot draw " + outputs.plot->Name() + ": " + chart.Reason());
        }
        outputs.plot->Stream() << *chart;
    }
    if (const auto done = files.Commit(); !done)
    {
        return Fail(1, done.Reason());
    }
    return 0;
}

} // namespace tryzone
