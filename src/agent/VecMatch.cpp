#include "agent/VecMatch.h"

#include "agent/Observation.h"
#include "run/MatchRunner.h"
#include "shape/MatchShape.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>

namespace tryzone
{

Expected<void> CheckPlan(const VecMatchPlan& plan)
{
    if (plan.matches < 1)
    {
        return Unexpected{"num_matches must be at least 1, not " + std::to_string(plan.matches)};
    }
    std::vector<bool> seen(kPlayerSlots, false);
    for (const int slot : plan.controlled)
    {
        if (!IsSlot(slot))
        {
            return Unexpected{"controlled slot " + std::to_string(slot) + " out of range (0 to 9)"};
        }
        if (seen[static_cast<std::size_t>(slot)])
        {
            return Unexpected{"controlled slot " + std::to_string(slot) + " given twice"};
        }
        seen[static_cast<std::size_t>(slot)] = true;
    }
    if (!(plan.minutes > 0.0) || !std::isfinite(plan.minutes) || FramesFor(plan.minutes) < 1)
    {
        return Unexpected{"minutes must be a positive number of at least one frame"};
    }
    if (plan.decisionFrames < 1)
    {
        return Unexpected{"decision_frames must be at least 1, not " + std::to_string(plan.decisionFrames)};
    }
    if (plan.threads < 1)
    {
        return Unexpected{"threads must be at least 1, not " + std::to_string(plan.threads)};
    }
    if (plan.players.size() != kPlayerSlots)
    {
        return Unexpected{"the settings must give ten players"};
    }
    return {};
}

VecMatch::VecMatch(VecMatchPlan matchPlan) : plan(std::move(matchPlan))
{
    if (const auto checked = CheckPlan(plan); !checked)
    {
        throw std::invalid_argument(checked.Reason());
    }
    framesPerMatch = FramesFor(plan.minutes);
    if (!plan.eventsPath.empty())
    {
        events.open(plan.eventsPath, std::ios::binary | std::ios::trunc);
        if (!events)
        {
            throw std::runtime_error("cannot write the events file " + plan.eventsPath);
        }
    }
    const auto count = static_cast<std::size_t>(plan.matches);
    for (std::size_t i = 0; i < count; ++i)
    {
        matches.push_back(std::make_unique<AgentMatch>(plan.players, plan.controlled, framesPerMatch,
                                                       !plan.eventsPath.empty(), !plan.recordDir.empty()));
    }
    const std::size_t agents = plan.controlled.size();
    observations.assign(count * agents * kObservationSize, 0.f);
    finalObservations.assign(observations.size(), 0.f);
    rewards.assign(count * agents, 0.f);
    terminations.assign(count, 0);
    truncations.assign(count, 0);
    numbers.assign(count, 0);
    const int threads = std::min(plan.threads, plan.matches);
    if (threads > 1)
    {
        workers.emplace(threads);
    }
}

template <class Job> void VecMatch::ForEachMatch(const Job& job)
{
    // Each thread keeps to a block of matches; which thread plays a match changes nothing in it.
    const int count = workers ? workers->Count() : 1;
    const auto share = [this, count, &job](int worker)
    {
        const int first = plan.matches * worker / count;
        const int end = plan.matches * (worker + 1) / count;
        for (int i = first; i < end; ++i)
        {
            job(i, end);
        }
    };
    if (workers)
    {
        workers->Run(share);
    }
    else
    {
        share(0);
    }
}

void VecMatch::StartEpisodes()
{
    const int base = nextNumber;
    nextNumber += plan.matches;
    const std::size_t stride = plan.controlled.size() * kObservationSize;
    ForEachMatch(
        [this, base, stride](int i, int /*end*/)
        {
            AgentMatch& match = *matches[static_cast<std::size_t>(i)];
            match.Start(MatchSeed(plan.seed, base + i), base + i);
            match.Observe(observations.data() + static_cast<std::size_t>(i) * stride);
        });
    for (int i = 0; i < plan.matches; ++i)
    {
        numbers[static_cast<std::size_t>(i)] = base + i;
    }
}

void VecMatch::Reset()
{
    StartEpisodes();
    std::fill(rewards.begin(), rewards.end(), 0.f);
    std::fill(truncations.begin(), truncations.end(), 0);
    started = true;
}

void VecMatch::Step(const AgentAction* actions)
{
    if (!started)
    {
        throw std::logic_error("reset() must be called before the first step()");
    }
    const std::size_t agents = plan.controlled.size();
    for (std::size_t i = 0; i < matches.size() * agents; ++i)
    {
        if (const auto checked = CheckAction(actions[i]); !checked)
        {
            throw std::invalid_argument("action of match " + std::to_string(i / agents) + ", agent " +
                                        std::to_string(i % agents) + " (slot " +
                                        std::to_string(plan.controlled[i % agents]) + "): " + checked.Reason());
        }
    }
    const std::size_t stride = agents * kObservationSize;
    ForEachMatch(
        [this, actions, agents, stride](int i, int end)
        {
            const auto index = static_cast<std::size_t>(i);
            AgentMatch& match = *matches[index];
            // Only this thread's matches: the graphs of another thread's are changing under it.
            if (i + 2 < end)
            {
                matches[index + 2]->Prefetch();
            }
            if (i + 1 < end)
            {
                matches[index + 1]->PrefetchGraphs();
            }
            const auto before = match.Tries();
            match.Act(actions + index * agents);
            match.Advance(plan.decisionFrames);
            const auto after = match.Tries();
            const std::int32_t blue = (after[0] - before[0]) - (after[1] - before[1]);
            for (std::size_t a = 0; a < agents; ++a)
            {
                const bool red = SideOfSlot(plan.controlled[a]) == Side::Red;
                rewards[index * agents + a] = static_cast<float>(red ? -blue : blue);
            }
            truncations[index] = match.Over() ? 1 : 0;
            match.Observe((match.Over() ? finalObservations.data() : observations.data()) + index * stride);
        });
    // Every match has the same length, so the batch's episodes end together.
    if (truncations.front() != 0)
    {
        WriteFinished();
        StartEpisodes();
    }
}

void VecMatch::WriteFinished()
{
    for (const auto& match : matches)
    {
        if (events.is_open())
        {
            events << match->Events();
            events.flush();
        }
        if (!plan.recordDir.empty())
        {
            const std::string path = plan.recordDir + "/match-" + std::to_string(match->Number()) + ".jsonl";
            std::ofstream file(path, std::ios::binary | std::ios::trunc);
            file << match->Recording();
            if (!file)
            {
                throw std::runtime_error("cannot write the recording " + path);
            }
        }
    }
    if (events.is_open() && !events)
    {
        throw std::runtime_error("cannot write the events file " + plan.eventsPath);
    }
}

} // namespace tryzone
