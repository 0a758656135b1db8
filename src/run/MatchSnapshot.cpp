#include "run/MatchSnapshot.h"

#include <cstddef>
#include <memory>
#include <stdexcept>

namespace tryzone
{

namespace
{
// The classes as the snapshot knows them: a member added to one beside its status changes its size, and the build
// stops here until the member goes into the status or is listed as kept elsewhere.
struct KnownPlayer : Entity, PlayerStatus
{
    StateGraph<Player, PlayerAction> stateGraph;
    RugbyScene* scene;                            // the match's own
    std::shared_ptr<const CompiledTactic> tactic; // the same for every match of the same tactics
};
struct KnownBall : Entity, BallStatus
{
    Player* holder; // kept as a slot
};
struct KnownEntity
{
    virtual ~KnownEntity() = default;
    EntityStatus status;
    sf::CircleShape shape; // kept as its position, radius and colour
};
static_assert(sizeof(Player) == sizeof(KnownPlayer));
static_assert(sizeof(Ball) == sizeof(KnownBall));
static_assert(sizeof(Entity) == sizeof(KnownEntity));

Player* PlayerAt(const RugbyScene& scene, int slot)
{
    return slot < 0 ? nullptr : scene.players[static_cast<std::size_t>(slot)];
}

EntitySnapshot TakeEntity(const Entity& entity)
{
    return {entity.shape.getPosition(), entity.shape.getRadius(), entity.shape.getFillColor(), entity};
}

void RestoreEntity(const EntitySnapshot& snapshot, Entity& entity)
{
    entity.shape.setPosition(snapshot.position);
    // Setting the radius rebuilds the shape's points: only when it differs.
    if (entity.shape.getRadius() != snapshot.radius)
    {
        entity.shape.setRadius(snapshot.radius);
    }
    entity.shape.setFillColor(snapshot.color);
    static_cast<EntityStatus&>(entity) = snapshot.status;
}

// Calls visit with each action of the graph and its place in the snapshot, state by state.
template <class Graph, class Visit> void ForEachAction(Graph& graph, Visit&& visit)
{
    std::size_t place = 0;
    for (const auto& state : graph.states)
    {
        for (const auto& action : state->actions)
        {
            if (place == kMaxTacticStates)
            {
                throw std::length_error("a state graph with more actions than a snapshot keeps");
            }
            visit(*action, place++);
        }
    }
}

PlayerSnapshot TakePlayer(const Player& player)
{
    PlayerSnapshot snapshot{TakeEntity(player), player, player.stateGraph.current};
    ForEachAction(player.stateGraph, [&snapshot](const PlayerAction& action, std::size_t place)
                  { snapshot.actions[place] = action.Remember(); });
    return snapshot;
}

void RestorePlayer(const PlayerSnapshot& snapshot, RugbyScene& scene, Player& player)
{
    RestoreEntity(snapshot.entity, player);
    static_cast<PlayerStatus&>(player) = snapshot.status;
    player.stateGraph.current = snapshot.state;
    ForEachAction(player.stateGraph, [&snapshot, &scene](PlayerAction& action, std::size_t place)
                  { action.Recall(snapshot.actions[place], scene); });
}
} // namespace

MatchSnapshot TakeSnapshot(const RugbyScene& scene)
{
    MatchSnapshot snapshot;
    snapshot.random = SaveRandom();
    for (std::size_t slot = 0; slot < scene.players.size(); ++slot)
    {
        snapshot.players[slot] = TakePlayer(*scene.players[slot]);
    }
    snapshot.ball = TakeEntity(*scene.ball);
    snapshot.ballStatus = *scene.ball;
    snapshot.scene = scene;
    snapshot.holder = scene.SlotOf(scene.ball->holder);
    snapshot.ballCarrier = scene.SlotOf(scene.ballCarrier);
    snapshot.selectedPlayer = scene.SlotOf(scene.selectedPlayer);
    snapshot.selectedReceiver = scene.SlotOf(scene.selectedReceiver);
    return snapshot;
}

void RestoreSnapshot(const MatchSnapshot& snapshot, RugbyScene& scene)
{
    RestoreRandom(snapshot.random);
    for (std::size_t slot = 0; slot < scene.players.size(); ++slot)
    {
        RestorePlayer(snapshot.players[slot], scene, *scene.players[slot]);
    }
    RestoreEntity(snapshot.ball, *scene.ball);
    static_cast<BallStatus&>(*scene.ball) = snapshot.ballStatus;
    static_cast<RugbySceneStatus&>(scene) = snapshot.scene;
    scene.ball->holder = PlayerAt(scene, snapshot.holder);
    scene.ballCarrier = PlayerAt(scene, snapshot.ballCarrier);
    scene.selectedPlayer = PlayerAt(scene, snapshot.selectedPlayer);
    scene.selectedReceiver = PlayerAt(scene, snapshot.selectedReceiver);
}

} // namespace tryzone
