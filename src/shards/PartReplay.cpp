#include "shards/PartReplay.h"

#include "files/StopSignals.h"
#include "experiments/Simulation.h"
#include "experiments/Variation.h"

#include <random>

namespace tryzone
{

namespace
{
// The first thing that differs between what a part says and what was played again, if anything does.
std::optional<std::string> Difference(const MatchResult& claimed, const MatchResult& played)
{
    const auto differ = [](const std::string& what, auto part, auto again)
    { return what + " " + std::to_string(part) + " in the part, " + std::to_string(again) + " played again"; };
    if (claimed.frames != played.frames)
    {
        return differ("frames", claimed.frames, played.frames);
    }
    for (std::size_t side = 0; side < claimed.teams.size(); ++side)
    {
        std::optional<std::string> found;
        ForEachCount(
            [&](const CountField& field, const auto& part, const auto& again)
            {
                if (!found && part != again)
                {
                    found = differ((side == 0 ? "blue's " : "red's ") + std::string(field.key), part, again);
                }
            },
            claimed.teams[side], played.teams[side]);
        if (found)
        {
            return found;
        }
    }
    if (claimed.breach.has_value() != played.breach.has_value() ||
        (claimed.breach &&
         (claimed.breach->frame != played.breach->frame || claimed.breach->rule != played.breach->rule)))
    {
        return std::string("the rule broken differs from the one played again");
    }
    return std::nullopt;
}

SimulationPlan PlanOf(const RunSetup& setup, int task)
{
    SimulationPlan plan = PlanFor(setup);
    plan.firstTask = task;
    plan.taskCount = 1;
    plan.stop = &StopSignal();
    return plan;
}
} // namespace

Expected<void> ReplayResults(const RunSetup& setup, TaskRange tasks, const std::vector<MatchResult>& results,
                             ReplaySample sample)
{
    if (results.empty())
    {
        return {};
    }
    std::size_t first = 0;
    std::size_t end = results.size();
    if (sample == ReplaySample::One)
    {
        std::random_device device;
        first = std::uniform_int_distribution<std::size_t>(0, results.size() - 1)(device);
        end = first + 1;
    }
    for (std::size_t i = first; i < end && StopSignal() == 0; ++i)
    {
        const int task = tasks.first + static_cast<int>(i);
        const std::vector<MatchResult> played = Simulate(PlanOf(setup, task));
        if (played.empty())
        {
            return {}; // stopped
        }
        if (auto difference = Difference(results[i], played.front()))
        {
            return Unexpected{"match " + std::to_string(results[i].match) + " (task " + std::to_string(task) +
                              ") played again differs: " + *difference};
        }
    }
    return {};
}

} // namespace tryzone
