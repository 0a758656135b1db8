#include "behaviour/PlayerWiring.h"

#include "behaviour/Player.h"
#include "behaviour/PlayerActions.h"
#include "behaviour/PlayerConditions.h"

#include <string_view>

namespace tryzone
{

namespace
{
float Float(const TacticStep& step, std::string_view name)
{
    return static_cast<float>(step.Number(name));
}
} // namespace

std::unique_ptr<PlayerAction> MakePlayerAction(const TacticStep& step)
{
    const std::string_view kind = step.kind;
    if (kind == "Support")
    {
        auto support = std::make_unique<PlayerActionSupport>();
        support->behind = Float(step, "behind");
        const std::string_view lane = step.Word("lanePosition");
        support->lanePosition = lane == "edge"     ? LanePosition::Edge
                                : lane == "centre" ? LanePosition::Centre
                                                   : LanePosition::Random;
        return support;
    }
    if (kind == "Defend")
    {
        auto defend = std::make_unique<PlayerActionDefend>();
        const std::string_view evasive = step.Word("evasive");
        defend->evasion = evasive == "mirror" ? Evasion::Mirror
                          : evasive == "sign" ? Evasion::Sign
                          : evasive == "none" ? Evasion::None
                                              : Evasion::Player;
        return defend;
    }
    if (kind == "Attack")
    {
        auto attack = std::make_unique<PlayerActionAttack>();
        attack->speedFactor = step.Word("speedFactor") == "player" ? -1.f : Float(step, "speedFactor");
        return attack;
    }
    if (kind == "Pass")
    {
        auto pass = std::make_unique<PlayerActionPass>();
        const std::string_view receiver = step.Word("receiver");
        pass->receiver = receiver == "nearest"    ? Receiver::Nearest
                         : receiver == "advanced" ? Receiver::Advanced
                                                  : Receiver::Random;
        return pass;
    }
    if (kind == "Hold")
    {
        auto hold = std::make_unique<PlayerActionHold>();
        hold->depth = Float(step, "depth");
        return hold;
    }
    // The tactic was checked against the catalogue: what is left is Idle.
    return std::make_unique<PlayerActionIdle>();
}

std::unique_ptr<Condition<Player>> MakePlayerCondition(const TacticCondition& condition)
{
    const TacticStep& step = condition.test;
    const std::string_view kind = step.kind;
    std::unique_ptr<Condition<Player>> made;
    if (kind == "TeamHaveBall")
    {
        made = std::make_unique<PlayerCondition_TeamHaveBall>();
    }
    else if (kind == "EnemyIsNear")
    {
        auto near = std::make_unique<PlayerCondition_EnemyIsNear>();
        near->distance = step.Word("distance") == "player" ? -1.f : Float(step, "distance");
        made = std::move(near);
    }
    else if (kind == "BallInZone")
    {
        auto zone = std::make_unique<PlayerCondition_BallInZone>();
        zone->from = Float(step, "from");
        zone->to = Float(step, "to");
        made = std::move(zone);
    }
    else if (kind == "ScoreDifference")
    {
        auto score = std::make_unique<PlayerCondition_ScoreDifference>();
        score->atLeast = static_cast<int>(step.Number("atLeast"));
        score->atMost = static_cast<int>(step.Number("atMost"));
        made = std::move(score);
    }
    else
    {
        made = std::make_unique<PlayerCondition_PlayerHaveBall>();
    }
    made->expected = condition.expected;
    return made;
}

void Wire(StateGraph<Player, PlayerAction>& graph, const CompiledTactic& tactic)
{
    graph.states.clear();
    graph.states.resize(tactic.states.size());
    graph.current = -1;
    for (std::size_t index = 0; index < tactic.states.size(); ++index)
    {
        const CompiledState& state = tactic.states[index];
        StateNode<Player, PlayerAction>* node = graph.CreateState(static_cast<int>(index));
        node->actions.push_back(MakePlayerAction(state.action));
        for (const CompiledLink& link : state.links)
        {
            StateLink<Player>* added = node->AddLink(link.target);
            for (const TacticCondition& condition : link.conditions)
            {
                added->conditions.push_back(MakePlayerCondition(condition));
            }
        }
    }
    graph.SetState(tactic.start);
}

} // namespace tryzone
