#include "files/StopSignals.h"
#include "experiments/League.h"
#include "shards/LeagueParts.h"
#include "files/OutputFiles.h"
#include "experiments/Plot.h"
#include "experiments/Simulation.h"
#include "cli/SimCommands.h"
#include "cli/TacticsCommands.h"
#include "tactics/TacticsFile.h"

#include <iostream>

#include <cstring>
#include <filesystem>
#include <iostream>
#include <random>

namespace tryzone
{

namespace
{
// The policy file an entrant's brains play, if any.
std::string PolicyFileOf(const LeagueEntry& entry)
{
    for (const std::string& brain : entry.brains)
    {
        if (brain.starts_with("policy:"))
        {
            return brain.substr(7);
        }
    }
    return {};
}

// Every entrant read, each warning and the first error on standard error; named so that no two rows share a name.
bool ReadEntrants(const std::vector<std::string>& texts, std::vector<LeagueEntry>& entries)
{
    const std::vector<std::string> names = UniqueNames(texts);
    for (std::size_t i = 0; i < texts.size(); ++i)
    {
        auto entrant = ReadEntrant(texts[i]);
        if (!entrant)
        {
            std::cerr << entrant.Reason() << std::endl;
            return false;
        }
        for (const std::string& warning : entrant->warnings)
        {
            std::cerr << warning << std::endl;
        }
        entrant->name = names[i];
        entries.push_back(*std::move(entrant));
    }
    // A match's brains decide at one pace: policies trained at two cannot meet.
    int pace = 0;
    for (const LeagueEntry& entry : entries)
    {
        for (const std::string& brain : entry.brains)
        {
            const int frames = brain.empty() ? 0 : BrainDecisionFrames(brain);
            if (frames != 0 && pace != 0 && frames != pace)
            {
                std::cerr << brain << " decides every " << frames << " frames, and another policy every " << pace
                          << ": a league's policies must share their pace" << std::endl;
                return false;
            }
            pace = frames != 0 ? frames : pace;
        }
    }
    return true;
}

struct LeagueOutputs
{
    Output* json = nullptr;
    Output* csv = nullptr;
    Output* plot = nullptr;
};

// The outputs, opened before anything is played; the exit status, 0 when they are.
int OpenOutputs(const TacticsCommands& commands, const std::vector<LeagueEntry>& entries, OutputFiles& files,
                LeagueOutputs& outputs)
{
    for (const LeagueEntry& entry : entries)
    {
        for (const std::string& file : {entry.team.tacticsFile, PolicyFileOf(entry)})
        {
            if (!file.empty())
            {
                files.AddInput("ENTRANT", file);
            }
        }
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
    plan.run.lineup = setup.players;
    plan.run.seed = setup.seed;
    plan.run.matches = setup.matches;
    plan.run.minutes = setup.minutes;
    plan.run.framesPerMatch = setup.framesPerMatch;
    plan.pairings =
        PairingSides(setup.entries, LeaguePairings(static_cast<int>(setup.entries.size())), plan.run.lineup);
    plan.run.laws = setup.laws;
    plan.jobs = jobs;
    plan.stop = &StopSignal();
    return plan;
}

// The table, and the files asked for, of a whole league's results; the exit status.
int WriteLeague(const LeagueSetup& setup, const std::vector<MatchResult>& results, OutputFiles& files,
                const LeagueOutputs& outputs)
{
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
    const auto done = files.Commit();
    return done ? 0 : Fail(1, done.Reason());
}
} // namespace

int LeagueCommand(const TacticsCommands& commands)
{
    if (commands.files.size() < 2)
    {
        return Fail(2, "a league needs two entrants or more");
    }
    LeagueSetup setup;
    if (!ReadEntrants(commands.files, setup.entries) || !ReadLawsOption(commands.lawsFile, setup.laws))
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
    if (commands.shard && (!commands.csvFile.empty() || !commands.plotFile.empty()))
    {
        return Fail(2, "--csv and --plot need the whole league: merge the shards' parts");
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
    if (const int status = OpenOutputs(commands, setup.entries, files, outputs); status != 0)
    {
        return status;
    }
    SimulationPlan plan = MakePlan(setup, commands.jobs);
    const int taskTotal = Numbering(plan).Total();
    const TaskRange tasks = commands.shard ? ShardTasks(*commands.shard, taskTotal) : TaskRange{0, taskTotal};
    plan.firstTask = tasks.first;
    plan.taskCount = tasks.count;
    std::vector<MatchResult> results;
    try
    {
        results = Simulate(plan);
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
    if (commands.shard)
    {
        files.Summary() << "League shard " << commands.shard->index << " of " << commands.shard->count << ": matches "
                        << tasks.first + 1 << " to " << tasks.first + tasks.count << " of the league's " << taskTotal
                        << "\n";
        if (outputs.json != nullptr)
        {
            outputs.json->Stream() << LeaguePartAsJson(setup, *commands.shard, results).dump(2) << '\n';
        }
        const auto done = files.Commit();
        return done ? 0 : Fail(1, done.Reason());
    }
    return WriteLeague(setup, results, files, outputs);
}

int LeagueMergeCommand(const ScaleOptions& scale)
{
    OutputFiles files;
    for (const std::string& part : scale.parts)
    {
        files.AddInput("merge", part);
    }
    const auto add = [&files](const char* option, const std::string& path, OutputKind kind) -> Output*
    { return path.empty() ? nullptr : &files.Add(option, path, kind); };
    const LeagueOutputs outputs{add("--json", scale.mergeJson, OutputKind::Text),
                                add("--csv", scale.mergeCsv, OutputKind::Text),
                                add("--plot", scale.mergePlot, OutputKind::Picture)};
    if (!scale.mergeHeatmap.empty())
    {
        return Fail(2, "--heatmap needs the parts of a run without --vary, as a run does");
    }
    auto merged = MergeLeagueParts(scale.parts, scale.anyBuild);
    if (!merged)
    {
        return Fail(2, merged.Reason());
    }
    if (const int status = OpenOutputFiles(files); status != 0)
    {
        return status;
    }
    return WriteLeague(merged->setup, merged->results, files, outputs);
}

} // namespace tryzone
