#include "agent/AgentAction.h"

#include "agent/Observation.h"
#include "core/GameHost.h"

#include <algorithm>
#include "shape/MatchShape.h"

namespace tryzone
{

Expected<void> CheckAction(const AgentAction& action)
{
    if (action.code < 0 || action.code >= kOrderKinds)
    {
        return Unexpected{"unknown action code " + std::to_string(action.code) +
                          " (BUILTIN 0, HOLD 1, MOVE 2, PASS 3)"};
    }
    if (action.code == kPass && !IsPassTarget(action.x))
    {
        return Unexpected{"pass to slot " + std::to_string(action.x) +
                          ", out of range (0 to 9, or -1 for a random teammate)"};
    }
    return {};
}

PlayerOrder OrderFor(const AgentAction& action, int team)
{
    PlayerOrder order;
    order.kind = static_cast<OrderKind>(action.code);
    if (order.kind == OrderKind::Move)
    {
        order.x = EgoX(action.x, team);
        order.y = action.y;
    }
    else if (order.kind == OrderKind::Pass)
    {
        order.x = action.x;
    }
    return order;
}

Expected<void> CheckCoarse(std::int32_t choice)
{
    if (choice < 0 || choice >= kCoarseActionCount)
    {
        return Unexpected{"coarse action " + std::to_string(choice) + " out of range (0 to " +
                          std::to_string(kCoarseActionCount - 1) + ")"};
    }
    return {};
}

Expected<CoarseActionSet> FindCoarseActionSet(const std::string& name)
{
    std::string known;
    for (const CoarseActionSet& set : kCoarseActionSets)
    {
        if (name == set.name)
        {
            return set;
        }
        known += (known.empty() ? "" : ", ") + std::string(set.name);
    }
    return Unexpected{"action set '" + name + "' is not one of " + known};
}

AgentAction FromCoarse(std::int32_t choice, const float* observation)
{
    AgentAction action = kCoarseActions[static_cast<std::size_t>(choice)];
    if (action.code == kMove)
    {
        const auto x = static_cast<std::int32_t>(observation[features::kX]);
        const auto y = static_cast<std::int32_t>(observation[features::kY]);
        action.x = std::clamp(x + action.x, 0, kPitchWidth);
        action.y = std::clamp(y + action.y, 0, kPitchHeight);
    }
    return action;
}

} // namespace tryzone
