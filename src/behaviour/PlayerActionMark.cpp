#include "behaviour/PlayerActionMark.h"

#include "behaviour/Player.h"
#include "core/Geometry.h"
#include "match/RugbyScene.h"

#include <algorithm>
#include <limits>

namespace tryzone
{

namespace
{
// The slot a teammate in a Mark state follows, or -1.
int MarkedBy(const Player& teammate)
{
    const auto& graph = teammate.stateGraph;
    if (graph.current < 0 || static_cast<std::size_t>(graph.current) >= graph.states.size() ||
        graph.states[static_cast<std::size_t>(graph.current)] == nullptr)
    {
        return -1;
    }
    for (const auto& action : graph.states[static_cast<std::size_t>(graph.current)]->actions)
    {
        if (const auto* mark = dynamic_cast<const PlayerActionMark*>(action.get()))
        {
            return mark->Marked();
        }
    }
    return -1;
}

sf::Vector2i WholeCentre(const Player& player)
{
    const sf::Vector2f centre = player.PositionAt(0.5f, 0.5f);
    return {TruncToInt(centre.x), TruncToInt(centre.y)};
}

// The opponent to follow: ties go to the lower slot.
int Choose(const RugbyScene& scene, const Player& owner, const MarkStep& parameters)
{
    const std::size_t mine = owner.team == 0 ? 0 : 5;
    const std::size_t theirs = owner.team == 0 ? 5 : 0;
    if (parameters.opponent == MarkChoice::Slot)
    {
        return static_cast<int>(theirs) + std::clamp(parameters.slot, 0, 4);
    }
    const sf::Vector2i from = WholeCentre(owner);
    int best = -1;
    float bestDistance = std::numeric_limits<float>::infinity();
    for (std::size_t slot = theirs; slot < theirs + 5; ++slot)
    {
        const Player& candidate = *scene.players[slot];
        bool excluded = false;
        switch (parameters.opponent)
        {
        case MarkChoice::Lane:
            excluded = candidate.lane != owner.lane;
            break;
        case MarkChoice::Nearest:
            for (std::size_t mate = mine; mate < mine + 5; ++mate)
            {
                excluded = excluded || (scene.players[mate] != &owner &&
                                        MarkedBy(*scene.players[mate]) == static_cast<int>(slot));
            }
            break;
        case MarkChoice::Slot:
            break;
        }
        const sf::Vector2i to = WholeCentre(candidate);
        const float distance = Distance(from.x, from.y, to.x, to.y);
        if (!excluded && distance < bestDistance)
        {
            best = static_cast<int>(slot);
            bestDistance = distance;
        }
    }
    // No one left to choose by the rule (an empty lane, every opponent marked): the nearest opponent.
    const Player* nearest = best >= 0 ? nullptr : scene.FindNearestPlayer(owner, false);
    for (std::size_t slot = theirs; nearest != nullptr && slot < theirs + 5; ++slot)
    {
        best = scene.players[slot] == nearest ? static_cast<int>(slot) : best;
    }
    return best;
}
} // namespace

void PlayerActionMark::Start(Player* owner)
{
    owner->Halt();
    scene = Entity::CurrentSceneAs<RugbyScene>();
    marked = owner->team > 1 ? -1 : Choose(*scene, *owner, parameters);
}

void PlayerActionMark::Update(Player* owner)
{
    if (marked < 0)
    {
        return;
    }
    const sf::Vector2f opponent = scene->players[static_cast<std::size_t>(marked)]->PositionAt(0.5f, 0.5f);
    // Goal side: between the opponent and the marker's own goal line (x = 0 for blue, x = W for red).
    const float x = owner->team == 0 ? opponent.x - parameters.gap : opponent.x + parameters.gap;
    owner->MoveTowards(TruncToInt(x), TruncToInt(opponent.y), owner->runSpeed);
}

void PlayerActionMark::Recall(const ActionMemory& memory, RugbyScene& match)
{
    PlayerAction::Recall(memory, match);
    marked = memory.marked;
}

} // namespace tryzone
