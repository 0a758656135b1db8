#include "agent/VecMatch.h"

#include "agent/Brain.h"
#include "agent/Observation.h"
#include "files/AtomicFile.h"
#include "files/Descriptor.h"
#include "files/FileGate.h"
#include "run/MatchRunner.h"
#include "shape/MatchShape.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <sys/stat.h>

namespace tryzone
{

namespace
{
// Brains play only players Python does not control, at their own pace.
Expected<void> CheckBrains(const VecMatchPlan& plan)
{
    for (const int slot : plan.controlled)
    {
        if (IsSlot(slot) && !plan.brains.brains[static_cast<std::size_t>(slot)].empty())
        {
            return Unexpected{"slot " + std::to_string(slot) + " is controlled and has a brain (" +
                              plan.brains.brains[static_cast<std::size_t>(slot)] + ")"};
        }
    }
    if (auto pace = CheckPace(plan.brains); !pace)
    {
        return pace;
    }
    return {};
}
} // namespace

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
    if (!(plan.minutes > 0.0) || !(plan.minutes <= kMaxMinutes) || FramesFor(plan.minutes) < 1)
    {
        std::array<char, 48> given{};
        std::snprintf(given.data(), given.size(), "%g", plan.minutes);
        return Unexpected{"minutes must be from one frame to " + std::to_string(static_cast<int>(kMaxMinutes)) +
                          ", as the simulator's; not " + given.data()};
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
    return CheckBrains(plan);
}
namespace
{
// Every file the batch reads and writes goes through the gate before any match is played: the settings (and the
// working folder's) are never written, the events file is no recording, no recording is written through a link.
Expected<std::ofstream> OpenOutputs(const VecMatchPlan& plan)
{
    FileGate gate;
    for (const auto& [name, path] : {std::pair{"settings", &plan.settingsPath}, {"laws", &plan.lawsPath}})
    {
        if (!path->empty())
        {
            gate.AddInput(name, *path);
        }
    }
    for (const std::string& policy : PolicyFiles({plan.brains.brains.begin(), plan.brains.brains.end()}))
    {
        gate.AddInput("brains", policy);
    }
    if (!plan.eventsPath.empty())
    {
        gate.AddOutput("events", plan.eventsPath, OutputTarget::File);
    }
    if (!plan.recordDir.empty())
    {
        gate.AddOutputFolder("record_dir", plan.recordDir, "match-", ".jsonl");
    }
    if (auto opened = gate.Open(); !opened)
    {
        return opened.Error();
    }
    std::error_code error;
    if (!plan.recordDir.empty() && !std::filesystem::create_directories(plan.recordDir, error) && error)
    {
        return Unexpected{"cannot make record_dir " + plan.recordDir + ": " + error.message()};
    }
    std::ofstream events;
    if (!plan.eventsPath.empty())
    {
        events.open(plan.eventsPath, std::ios::binary | std::ios::trunc);
        if (!events)
        {
            return Unexpected{"cannot write events " + plan.eventsPath + ": " + std::strerror(errno)};
        }
    }
    return events;
}

// A recording in a new file put in place in one step; a link or anything but a file at path (made since the gate
// looked) is refused, never written through.
Expected<void> WriteRecording(const std::string& path, const std::string& text)
{
    struct stat status
    {
    };
    if (::lstat(path.c_str(), &status) == 0 && !S_ISREG(status.st_mode))
    {
        return Unexpected{"cannot write the recording " + path +
                          ": not a regular file (a link or another kind of file appeared there); nothing "
                          "is written through it"};
    }
    AtomicFile file;
    int error = file.Open(path);
    if (error == 0 && !WriteAll(file.Descriptor(), text))
    {
        error = errno;
    }
    if (error == 0)
    {
        error = file.Commit();
    }
    if (error != 0)
    {
        return Unexpected{"cannot write the recording " + path + ": " + std::strerror(error)};
    }
    return {};
}
} // namespace

Expected<std::unique_ptr<VecMatch>> VecMatch::Make(VecMatchPlan plan)
{
    if (auto checked = CheckPlan(plan); !checked)
    {
        return checked.Error();
    }
    auto events = OpenOutputs(plan);
    if (!events)
    {
        return events.Error();
    }
    return std::unique_ptr<VecMatch>(new VecMatch(std::move(plan), std::move(*events)));
}

VecMatch::VecMatch(VecMatchPlan matchPlan, std::ofstream eventsFile)
    : plan(std::move(matchPlan)), events(std::move(eventsFile))
{
    framesPerMatch = FramesFor(plan.minutes);
    const auto count = static_cast<std::size_t>(plan.matches);
    for (std::size_t i = 0; i < count; ++i)
    {
        matches.push_back(std::make_unique<AgentMatch>(
            plan.players, plan.controlled, framesPerMatch, !plan.eventsPath.empty(), !plan.recordDir.empty(),
            MatchTactics{plan.tactics.blue, plan.tactics.red, plan.laws}, plan.brains));
    }
    const std::size_t agents = plan.controlled.size();
    observations.assign(count * agents * kObservationSize, 0.f);
    finalObservations.assign(observations.size(), 0.f);
    raw.assign(plan.normalise ? observations.size() : 0, 0.f);
    fromCoarse.resize(count * agents);
    rewards.assign(count * agents, 0.f);
    terminations.assign(count, 0);
    truncations.assign(count, 0);
    numbers.assign(count, 0);
    stepNumbers.assign(count, 0);
    returns.assign(count * agents, 0.f);
    lengths.assign(count, 0);
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
            ObserveInto(match, static_cast<std::size_t>(i), observations.data() + static_cast<std::size_t>(i) * stride);
        });
    for (int i = 0; i < plan.matches; ++i)
    {
        numbers[static_cast<std::size_t>(i)] = base + i;
    }
}

void VecMatch::ObserveInto(AgentMatch& match, std::size_t index, float* out)
{
    if (!plan.normalise)
    {
        match.Observe(out);
        return;
    }
    const std::size_t stride = plan.controlled.size() * kObservationSize;
    float* at = raw.data() + index * stride;
    match.Observe(at);
    for (std::size_t offset = 0; offset < stride; offset += kObservationSize)
    {
        Normalise(at + offset, framesPerMatch, out + offset);
    }
}

void VecMatch::Reset()
{
    StartEpisodes();
    std::fill(rewards.begin(), rewards.end(), 0.f);
    std::fill(truncations.begin(), truncations.end(), 0);
    std::fill(returns.begin(), returns.end(), 0.f);
    std::fill(lengths.begin(), lengths.end(), 0);
    started = true;
}

Expected<void> VecMatch::CheckChoices(const std::int32_t* choices) const
{
    const std::size_t agents = plan.controlled.size();
    for (std::size_t i = 0; i < fromCoarse.size(); ++i)
    {
        if (const auto checked = CheckCoarse(choices[i]); !checked)
        {
            return Unexpected{"action of match " + std::to_string(i / agents) + ", agent " +
                              std::to_string(i % agents) + ": " + checked.Reason()};
        }
    }
    return {};
}

Expected<void> VecMatch::CheckActions(const AgentAction* actions) const
{
    const std::size_t agents = plan.controlled.size();
    for (std::size_t i = 0; i < matches.size() * agents; ++i)
    {
        if (const auto checked = CheckAction(actions[i]); !checked)
        {
            return Unexpected{"action of match " + std::to_string(i / agents) + ", agent " +
                              std::to_string(i % agents) + " (slot " + std::to_string(plan.controlled[i % agents]) +
                              "): " + checked.Reason()};
        }
    }
    return {};
}

Expected<void> VecMatch::StepCoarse(const std::int32_t* choices)
{
    if (auto checked = CheckChoices(choices); !checked)
    {
        return checked;
    }
    const float* seen = plan.normalise ? raw.data() : observations.data();
    for (std::size_t i = 0; i < fromCoarse.size(); ++i)
    {
        fromCoarse[i] = FromCoarse(choices[i], seen + i * kObservationSize);
    }
    return Step(fromCoarse.data());
}

Expected<void> VecMatch::Step(const AgentAction* actions)
{
    if (!started)
    {
        return Unexpected{"reset() must be called before the first step()"};
    }
    if (auto checked = CheckActions(actions); !checked)
    {
        return checked;
    }
    const std::size_t agents = plan.controlled.size();
    const std::size_t stride = agents * kObservationSize;
    if (truncations.front() != 0)
    {
        // The last step ended the episodes whose statistics these were.
        std::fill(returns.begin(), returns.end(), 0.f);
        std::fill(lengths.begin(), lengths.end(), 0);
    }
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
                returns[index * agents + a] += rewards[index * agents + a];
            }
            lengths[index] += 1;
            stepNumbers[index] = match.Number();
            truncations[index] = match.Over() ? 1 : 0;
            ObserveInto(match, index, (match.Over() ? finalObservations.data() : observations.data()) + index * stride);
        });
    // Every match has the same length, so the batch's episodes end together.
    if (truncations.front() != 0)
    {
        auto written = WriteFinished();
        StartEpisodes();
        return written;
    }
    return {};
}

Expected<void> VecMatch::WriteFinished()
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
            auto written = WriteRecording(plan.recordDir + "/match-" + std::to_string(match->Number()) + ".jsonl",
                                          match->Recording());
            if (!written)
            {
                return written;
            }
        }
    }
    if (events.is_open() && !events)
    {
        return Unexpected{"cannot write events " + plan.eventsPath + ": " + std::strerror(errno)};
    }
    return {};
}

} // namespace tryzone
