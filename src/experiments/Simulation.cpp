#include "experiments/Simulation.h"

#include "shape/MatchShape.h"
#include "pool/WorkerProtocol.h"
#include "pool/Workers.h"
#include "match/RugbyScene.h"

#include <algorithm>
#include <cstring>
#include <optional>
#include <string_view>
#include <type_traits>

namespace tryzone
{

namespace
{
const std::vector<PlayerSettings>& Lineup(const SimulationPlan& plan, int task)
{
    return plan.lineups.empty() || !plan.pairings.empty()
               ? plan.run.lineup
               : plan.lineups[static_cast<std::size_t>(Numbering(plan).Group(task))];
}

MatchTactics TacticsOf(const SimulationPlan& plan, int task)
{
    if (plan.pairings.empty())
    {
        MatchTactics tactics = plan.run.Tactics();
        // A tactic's parameter varied: the lineup plays in its edited tactic.
        if (!plan.lineupTactics.empty())
        {
            const auto& edited = plan.lineupTactics[static_cast<std::size_t>(Numbering(plan).Group(task))];
            tactics.blue = edited[0] != nullptr ? edited[0] : tactics.blue;
            tactics.red = edited[1] != nullptr ? edited[1] : tactics.red;
        }
        return tactics;
    }
    const Sides& sides = plan.pairings[static_cast<std::size_t>(Numbering(plan).Group(task))];
    return {sides.teams[0].tactic, sides.teams[1].tactic, plan.run.laws};
}

const BrainPlan& BrainsOf(const SimulationPlan& plan, int task)
{
    return plan.pairings.empty() ? plan.run.brains
                                 : plan.pairings[static_cast<std::size_t>(Numbering(plan).Group(task))].brains;
}

// One match of the run, with its seed in the whole run; `progress` hears the frames played now and then.
std::optional<MatchResult> PlayMatch(const SimulationPlan& plan, int task, std::ostream* events, Heatmap* heatmap,
                                     const std::function<void(std::int64_t)>& progress)
{
    const int match = Numbering(plan).Match(task);
    MatchRecorder recorder(match, events);
    recorder.result.seed = MatchSeed(plan.run.seed, match);
    MatchRunner runner;
    const RugbyScene& scene = runner.Start(Lineup(plan, task), recorder.result.seed, &recorder, TacticsOf(plan, task));
    // The rules watch first: a frame that breaks one ends the match before the others count it.
    std::optional<MatchRules> rules;
    if (plan.run.checkRules)
    {
        rules.emplace(scene);
        runner.WatchSteps(&*rules);
        runner.Watch(*rules);
    }
    std::optional<BrainDriver> driver;
    if (const BrainPlan& brains = BrainsOf(plan, task); !brains.Empty())
    {
        driver.emplace(brains, recorder.result.seed, plan.run.framesPerMatch);
        runner.Watch(*driver);
    }
    runner.Watch(recorder);
    if (heatmap != nullptr)
    {
        runner.Watch(*heatmap);
    }

    while (runner.Frame() < plan.run.framesPerMatch && !runner.Stopped())
    {
        if (plan.stop != nullptr && *plan.stop != 0)
        {
            return std::nullopt;
        }
        runner.Step(kMaxFrameTime);
        if (progress && runner.Frame() % 65536 == 0)
        {
            progress(runner.Frame());
        }
    }
    const std::array<TacticTelemetry, 2> telemetry = ReadTelemetry(scene);
    for (std::size_t team = 0; team < 2; ++team)
    {
        recorder.result.teams[team].tactic = telemetry[team];
    }
    if (rules && rules->Breach())
    {
        recorder.result.breach = rules->Breach();
        recorder.result.frames = rules->Breach()->frame;
    }
    return recorder.result;
}

void PutCounts(WireWriter& out, const std::vector<std::int64_t>& counts)
{
    out.Put(static_cast<std::uint64_t>(counts.size()));
    for (const std::int64_t count : counts)
    {
        out.Put(count);
    }
}

bool GetCounts(WireReader& in, std::vector<std::int64_t>& counts)
{
    std::uint64_t size = 0;
    in.Get(size);
    if (!in.Ok() || size > in.Left() / sizeof(std::int64_t))
    {
        return false;
    }
    counts.resize(size);
    for (std::int64_t& count : counts)
    {
        in.Get(count);
    }
    return in.Ok();
}

void PutTelemetry(WireWriter& out, const TacticTelemetry& telemetry)
{
    PutCounts(out, telemetry.stateFrames);
    out.Put(static_cast<std::uint64_t>(telemetry.linkFirings.size()));
    for (const std::vector<std::int64_t>& firings : telemetry.linkFirings)
    {
        PutCounts(out, firings);
    }
}

bool GetTelemetry(WireReader& in, TacticTelemetry& telemetry)
{
    std::uint64_t states = 0;
    if (!GetCounts(in, telemetry.stateFrames) || !in.Get(states).Ok() || states > in.Left() / sizeof(std::uint64_t))
    {
        return false;
    }
    telemetry.linkFirings.resize(states);
    return std::all_of(telemetry.linkFirings.begin(), telemetry.linkFirings.end(),
                       [&in](std::vector<std::int64_t>& firings) { return GetCounts(in, firings); });
}

// A match's result and the squares its ball counted in, as a worker sends them to the parent.
std::string Pack(const MatchResult& result, Heatmap* heatmap)
{
    WireWriter out;
    out.Put(result.match).Put(result.seed).Put(result.frames);
    for (const TeamRecord& team : result.teams)
    {
        ForEachCount([&out](const CountField&, const auto& count) { out.Put(count); }, team);
        PutTelemetry(out, team.tactic);
    }
    out.Put(result.breach.has_value());
    if (result.breach)
    {
        out.Put(result.breach->frame).PutText(result.breach->rule);
    }
    if (heatmap != nullptr)
    {
        const std::vector<Heatmap::Square> squares = heatmap->TakeCounted();
        out.Put(static_cast<std::uint64_t>(squares.size()));
        for (const Heatmap::Square& square : squares)
        {
            out.Put(square);
        }
    }
    return out.Take();
}

// The outcome read back whole, its squares added to the heat map; none when the bytes are not one.
std::optional<MatchResult> Unpack(std::string_view bytes, Heatmap* heatmap)
{
    WireReader in(bytes);
    MatchResult result;
    bool breach = false;
    in.Get(result.match).Get(result.seed).Get(result.frames);
    for (TeamRecord& team : result.teams)
    {
        ForEachCount([&in](const CountField&, auto& count) { in.Get(count); }, team);
        if (!GetTelemetry(in, team.tactic))
        {
            return std::nullopt;
        }
    }
    in.Get(breach);
    if (breach)
    {
        RuleBreach broken;
        in.Get(broken.frame).GetText(broken.rule);
        result.breach = broken;
    }
    std::vector<Heatmap::Square> squares;
    if (heatmap != nullptr)
    {
        std::uint64_t count = 0;
        in.Get(count);
        if (!in.Ok() || count > in.Left() / sizeof(Heatmap::Square))
        {
            return std::nullopt;
        }
        squares.resize(count);
        for (Heatmap::Square& square : squares)
        {
            in.Get(square);
        }
    }
    if (!in.Whole() || (heatmap != nullptr && !heatmap->AddSquares(squares)))
    {
        return std::nullopt;
    }
    return result;
}

// A rule broken, or an event log that cannot be written, ends the run after this match.
bool GoesOn(const SimulationPlan& plan, const MatchResult& result)
{
    return !result.breach && (plan.events == nullptr || *plan.events);
}

std::vector<MatchResult> SimulateHere(const SimulationPlan& plan)
{
    std::vector<MatchResult> results;
    const int tasks = PlannedTasks(plan);
    for (int done = 0; done < tasks; ++done)
    {
        const auto progress = [&plan, done](std::int64_t frames) { plan.progress(done, frames); };
        auto result = PlayMatch(plan, plan.firstTask + done, plan.events, plan.heatmap,
                                plan.progress ? progress : std::function<void(std::int64_t)>());
        if (!result)
        {
            break;
        }
        results.push_back(*result);
        if (!GoesOn(plan, *result))
        {
            break;
        }
        if (plan.progress)
        {
            plan.progress(done + 1, 0);
        }
    }
    return results;
}

std::vector<MatchResult> SimulateInWorkers(const SimulationPlan& plan)
{
    std::vector<MatchResult> results;
    WorkerPlan work;
    work.tasks = PlannedTasks(plan);
    work.jobs = plan.jobs;
    work.events = plan.events;
    work.progress = plan.progress;
    work.stop = plan.stop;
    // Each worker's own map, one for its whole life: a match sends only the squares it counted in.
    std::optional<Heatmap> heatmap;
    if (plan.heatmap != nullptr)
    {
        heatmap.emplace(kPitchWidth, kPitchHeight);
    }
    work.play = [&plan, &heatmap](int task, std::ostream* events, const std::function<void(std::int64_t)>& progress)
    {
        // Workers leave stop signals to the parent, so they always finish the match they are given.
        Heatmap* map = heatmap ? &*heatmap : nullptr;
        const auto result = PlayMatch(plan, plan.firstTask + task, events, map, progress);
        return result ? Pack(*result, map) : std::string();
    };
    work.take = [&plan, &results](int, const std::string& outcome)
    {
        if (outcome.empty())
        {
            return Taken::Stop;
        }
        const auto result = Unpack(outcome, plan.heatmap);
        if (!result)
        {
            return Taken::Corrupt;
        }
        results.push_back(*result);
        return GoesOn(plan, results.back()) ? Taken::Next : Taken::Stop;
    };
    if (const auto failure = RunWorkers(work))
    {
        const std::string process = failure->pid > 0 ? "process " + std::to_string(failure->pid) : "";
        if (failure->task < 0)
        {
            throw SimulationFailure("a worker" + (process.empty() ? "" : " (" + process + ")") + " " + failure->reason);
        }
        const int task = plan.firstTask + failure->task;
        const int match = Numbering(plan).Match(task);
        const std::string value =
            plan.lineupNames.empty()
                ? ""
                : " with " + plan.lineupNames[static_cast<std::size_t>(Numbering(plan).Group(task))];
        throw SimulationFailure("the worker playing match " + std::to_string(match) + value + " (seed " +
                                std::to_string(MatchSeed(plan.run.seed, match)) + "; " + process + ") " +
                                failure->reason);
    }
    return results;
}
} // namespace

TaskNumbering Numbering(const SimulationPlan& plan)
{
    const std::size_t groups = plan.pairings.empty() ? plan.lineups.size() : plan.pairings.size();
    return {plan.run.matches, static_cast<int>(std::max<std::size_t>(1, groups))};
}

int PlannedTasks(const SimulationPlan& plan)
{
    return plan.taskCount < 0 ? Numbering(plan).Total() - plan.firstTask : plan.taskCount;
}

SimulationPlan PlanFor(const RunSetup& run)
{
    SimulationPlan plan;
    plan.run = run;
    if (run.variation)
    {
        plan.lineups = Lineups(*run.variation, run.lineup);
        plan.lineupTactics = run.variation->tactics;
        for (const float value : run.variation->values)
        {
            plan.lineupNames.push_back(run.variation->key + " " + FloatText(value));
        }
    }
    return plan;
}

std::vector<MatchResult> Simulate(const SimulationPlan& plan)
{
    return plan.jobs > 1 && PlannedTasks(plan) > 1 ? SimulateInWorkers(plan) : SimulateHere(plan);
}

} // namespace tryzone
