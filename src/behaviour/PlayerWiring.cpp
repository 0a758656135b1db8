#include "behaviour/PlayerWiring.h"

#include "behaviour/Player.h"
#include "behaviour/PlayerActionMark.h"
#include "behaviour/PlayerActions.h"
#include "behaviour/PlayerConditions.h"
#include "tactics/TacticCatalogue.h"

#include <stdexcept>

namespace tryzone
{

namespace
{
// One builder per alternative: std::visit does not compile while a catalogue entry has none.
template <class... Builders> struct Overloaded : Builders...
{
    using Builders::operator()...;
};
// Spelt out for clang 14, which builds the fuzz targets and does not deduce an aggregate's arguments itself.
template <class... Builders> Overloaded(Builders...) -> Overloaded<Builders...>;

const CatalogueEntry& Entry(const CatalogueEntry* entry, const std::string& kind)
{
    if (entry == nullptr)
    {
        throw std::invalid_argument("\"" + kind + "\" is not in the catalogue");
    }
    return *entry;
}
} // namespace

std::unique_ptr<PlayerAction> MakePlayerAction(const ActionStep& step)
{
    return std::visit(
        Overloaded{
            [](const IdleStep&) -> std::unique_ptr<PlayerAction> { return std::make_unique<PlayerActionIdle>(); },
            [](const SupportStep& given) -> std::unique_ptr<PlayerAction>
            {
                auto support = std::make_unique<PlayerActionSupport>();
                support->behind = given.behind;
                support->lanePosition = given.lanePosition;
                return support;
            },
            [](const DefendStep& given) -> std::unique_ptr<PlayerAction>
            {
                auto defend = std::make_unique<PlayerActionDefend>();
                defend->evasion = given.evasive;
                return defend;
            },
            [](const AttackStep& given) -> std::unique_ptr<PlayerAction>
            {
                auto attack = std::make_unique<PlayerActionAttack>();
                attack->speedFactor = given.speedFactor;
                return attack;
            },
            [](const PassStep& given) -> std::unique_ptr<PlayerAction>
            {
                auto pass = std::make_unique<PlayerActionPass>();
                pass->receiver = given.receiver;
                return pass;
            },
            [](const HoldStep& given) -> std::unique_ptr<PlayerAction>
            {
                auto hold = std::make_unique<PlayerActionHold>();
                hold->depth = given.depth;
                return hold;
            },
            [](const MarkStep& given) -> std::unique_ptr<PlayerAction>
            { return std::make_unique<PlayerActionMark>(given); },
        },
        step);
}

std::unique_ptr<Condition<Player>> MakePlayerCondition(const CompiledCondition& condition)
{
    std::unique_ptr<Condition<Player>> made = std::visit(
        Overloaded{
            [](const PlayerHaveBallTest&) -> std::unique_ptr<Condition<Player>>
            { return std::make_unique<PlayerCondition_PlayerHaveBall>(); },
            [](const TeamHaveBallTest&) -> std::unique_ptr<Condition<Player>>
            { return std::make_unique<PlayerCondition_TeamHaveBall>(); },
            [](const EnemyIsNearTest& given) -> std::unique_ptr<Condition<Player>>
            {
                auto near = std::make_unique<PlayerCondition_EnemyIsNear>();
                near->distance = given.distance;
                return near;
            },
            [](const BallInZoneTest& given) -> std::unique_ptr<Condition<Player>>
            {
                auto zone = std::make_unique<PlayerCondition_BallInZone>();
                zone->from = given.from;
                zone->to = given.to;
                return zone;
            },
            [](const ScoreDifferenceTest& given) -> std::unique_ptr<Condition<Player>>
            {
                auto score = std::make_unique<PlayerCondition_ScoreDifference>();
                score->atLeast = given.atLeast;
                score->atMost = given.atMost;
                return score;
            },
        },
        condition.test);
    made->expected = condition.expected;
    return made;
}

std::unique_ptr<PlayerAction> MakePlayerAction(const TacticStep& step)
{
    return MakePlayerAction(Entry(FindAction(step.kind), step.kind).action(step));
}

std::unique_ptr<Condition<Player>> MakePlayerCondition(const TacticCondition& condition)
{
    const TacticStep& step = condition.test;
    return MakePlayerCondition(CompiledCondition{Entry(FindCondition(step.kind), step.kind).condition(step),
                                                 condition.expected});
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
        node->actions.push_back(MakePlayerAction(state.step));
        for (const CompiledLink& link : state.links)
        {
            StateLink<Player>* added = node->AddLink(link.target);
            for (const CompiledCondition& condition : link.tests)
            {
                added->conditions.push_back(MakePlayerCondition(condition));
            }
        }
    }
    graph.SetState(tactic.start);
}

} // namespace tryzone
