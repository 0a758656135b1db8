#include "batch/Simulation.h"

#include "batch/Workers.h"
#include "behaviour/Ball.h"
#include "behaviour/Player.h"
#include "core/GameHost.h"
#include "match/RugbyScene.h"

#include <cstring>
#include <optional>
#include <string_view>
#include <type_traits>

namespace
{
const std::vector<PlayerSettings>& Lineup(const SimulationPlan& plan, int task)
{
    return plan.lineups.empty() || !plan.pairings.empty() ? plan.players
                                                          : plan.lineups[static_cast<std::size_t>(task / plan.matches)];
}

const MatchTactics& TacticsOf(const SimulationPlan& plan, int task)
{
    return plan.pairings.empty() ? plan.tactics : plan.pairings[static_cast<std::size_t>(task / plan.matches)];
}

int MatchOf(const SimulationPlan& plan, int task)
{
    return task % plan.matches + 1;
}

// One match of the run, with its seed in the whole run; `progress` hears the frames played now and then.
std::optional<MatchResult> PlayMatch(const SimulationPlan& plan, int task, std::ostream* events, Heatmap* heatmap,
                                     const std::function<void(std::int64_t)>& progress)
{
    const int match = MatchOf(plan, task);
    MatchRecorder recorder(match, events);
    recorder.result.seed = MatchSeed(plan.seed, match);
    MatchRunner runner;
    const RugbyScene& scene = runner.Start(Lineup(plan, task), recorder.result.seed, &recorder, TacticsOf(plan, task));
    std::optional<MatchRules> rules;
    if (plan.checkRules)
    {
        rules.emplace(scene);
        GameHost::Instance().stepObserver = &*rules;
    }

    recorder.result.frames = plan.framesPerMatch;
    for (std::int64_t frame = 1; frame <= plan.framesPerMatch; ++frame)
    {
        if (plan.stop != nullptr && *plan.stop != 0)
        {
            return std::nullopt;
        }
        recorder.SetFrame(frame);
        runner.Step(kMaxFrameTime);
        if (rules)
        {
            rules->EndFrame();
            if (rules->Breach())
            {
                recorder.result.breach = rules->Breach();
                recorder.result.frames = frame;
                break;
            }
        }
        ++recorder.result.teams[scene.ballCarrier->team == 0 ? 0 : 1].possessionFrames;
        if (heatmap != nullptr)
        {
            heatmap->Add(scene.ball->PositionAt(0.5f, 0.5f));
        }
        if (progress && frame % 65536 == 0)
        {
            progress(frame);
        }
    }
    return recorder.result;
}

// A match's result and heat counts as a worker sends them to the parent: both sides are the same program.
class Outcome
{
public:
    static std::string Pack(const MatchResult& result, const Heatmap* heatmap)
    {
        Outcome out;
        out.Put(result.match);
        out.Put(result.seed);
        out.Put(result.frames);
        out.Put(result.teams);
        out.Put(result.breach.has_value());
        if (result.breach)
        {
            out.Put(result.breach->frame);
            out.Put(result.breach->rule.size());
            out.bytes += result.breach->rule;
        }
        if (heatmap != nullptr)
        {
            out.bytes.append(reinterpret_cast<const char*>(heatmap->Counts().data()),
                             heatmap->Counts().size() * sizeof(std::uint32_t));
        }
        return out.bytes;
    }

    static MatchResult Unpack(std::string_view bytes, Heatmap* heatmap)
    {
        Outcome in;
        in.bytes = bytes;
        MatchResult result;
        in.Get(result.match);
        in.Get(result.seed);
        in.Get(result.frames);
        in.Get(result.teams);
        bool breach = false;
        in.Get(breach);
        if (breach)
        {
            RuleBreach broken;
            in.Get(broken.frame);
            std::size_t size = 0;
            in.Get(size);
            broken.rule = in.bytes.substr(in.read, size);
            in.read += size;
            result.breach = broken;
        }
        if (heatmap != nullptr)
        {
            std::vector<std::uint32_t> counts(heatmap->Counts().size());
            std::memcpy(counts.data(), in.bytes.data() + in.read, counts.size() * sizeof(std::uint32_t));
            heatmap->AddCounts(counts);
        }
        return result;
    }

private:
    template <class T> void Put(const T& value)
    {
        static_assert(std::is_trivially_copyable_v<T>);
        bytes.append(reinterpret_cast<const char*>(&value), sizeof value);
    }

    template <class T> void Get(T& value)
    {
        std::memcpy(&value, bytes.data() + read, sizeof value);
        read += sizeof value;
    }

    std::string bytes;
    std::size_t read = 0;
};

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
    work.play = [&plan](int task, std::ostream* events, const std::function<void(std::int64_t)>& progress)
    {
        std::optional<Heatmap> heatmap;
        if (plan.heatmap != nullptr)
        {
            heatmap.emplace(kPitchWidth, kPitchHeight);
        }
        // Workers leave stop signals to the parent, so they always finish the match they are given.
        const auto result = PlayMatch(plan, plan.firstTask + task, events, heatmap ? &*heatmap : nullptr, progress);
        return result ? Outcome::Pack(*result, heatmap ? &*heatmap : nullptr) : std::string();
    };
    work.take = [&plan, &results](int, const std::string& outcome)
    {
        if (outcome.empty())
        {
            return false;
        }
        results.push_back(Outcome::Unpack(outcome, plan.heatmap));
        return GoesOn(plan, results.back());
    };
    if (const auto failure = RunWorkers(work))
    {
        if (failure->task < 0)
        {
            throw SimulationFailure("a worker failed: " + failure->reason);
        }
        const int task = plan.firstTask + failure->task;
        const int match = MatchOf(plan, task);
        throw SimulationFailure("the worker playing match " + std::to_string(match) + " (seed " +
                                std::to_string(MatchSeed(plan.seed, match)) + ") died: " + failure->reason);
    }
    return results;
}
} // namespace

int TaskTotal(const SimulationPlan& plan)
{
    const std::size_t groups = plan.pairings.empty() ? plan.lineups.size() : plan.pairings.size();
    return plan.matches * static_cast<int>(std::max<std::size_t>(1, groups));
}

int PlannedTasks(const SimulationPlan& plan)
{
    return plan.taskCount < 0 ? TaskTotal(plan) - plan.firstTask : plan.taskCount;
}

std::vector<MatchResult> Simulate(const SimulationPlan& plan)
{
    return plan.jobs > 1 && PlannedTasks(plan) > 1 ? SimulateInWorkers(plan) : SimulateHere(plan);
}
