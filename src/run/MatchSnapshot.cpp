#include "run/MatchSnapshot.h"

#include "behaviour/Ball.h"
#include "behaviour/Player.h"
#include "behaviour/PlayerActions.h"
#include "match/RugbyScene.h"

#include <cstddef>

namespace
{
// Calls visit with the action as its own type; every state of a player has one action.
template <class Visit> void VisitAction(Action<Player>& action, Visit&& visit)
{
    if (auto* idle = dynamic_cast<PlayerActionIdle*>(&action))
    {
        visit(*idle);
    }
    else if (auto* support = dynamic_cast<PlayerActionSupport*>(&action))
    {
        visit(*support);
    }
    else if (auto* defend = dynamic_cast<PlayerActionDefend*>(&action))
    {
        visit(*defend);
    }
    else if (auto* attack = dynamic_cast<PlayerActionAttack*>(&action))
    {
        visit(*attack);
    }
    else if (auto* pass = dynamic_cast<PlayerActionPass*>(&action))
    {
        visit(*pass);
    }
    else if (auto* hold = dynamic_cast<PlayerActionHold*>(&action))
    {
        visit(*hold);
    }
}

int SlotOf(const RugbyScene& scene, const Player* player)
{
    for (std::size_t slot = 0; slot < scene.players.size(); ++slot)
    {
        if (scene.players[slot] == player)
        {
            return static_cast<int>(slot);
        }
    }
    return -1;
}

Player* PlayerAt(const RugbyScene& scene, int slot)
{
    return slot < 0 ? nullptr : scene.players[static_cast<std::size_t>(slot)];
}

EntitySnapshot TakeEntity(const Entity& entity)
{
    return {entity.shape.getPosition(),  entity.shape.getRadius(),
            entity.shape.getFillColor(), entity.direction,
            entity.target.position,      entity.target.distance,
            entity.target.active,        entity.speed,
            entity.removeRequested,      entity.tag};
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
    entity.direction = snapshot.direction;
    entity.target = {snapshot.targetPosition, snapshot.targetDistance, snapshot.targetActive};
    entity.speed = snapshot.speed;
    entity.removeRequested = snapshot.removeRequested;
    entity.tag = snapshot.tag;
}

// The player's and the scene's own members, each in one place for both directions.
template <class From, class To> void CopyPlayerMembers(const From& from, To& to)
{
    to.luckMultiplier = from.luckMultiplier;
    to.enemyIsTooNearDistance = from.enemyIsTooNearDistance;
    to.passCooldown = from.passCooldown;
    to.passTime = from.passTime;
    to.number = from.number;
    to.lane = from.lane;
    to.team = from.team;
    to.attackSpeedFactor = from.attackSpeedFactor;
    to.defendVariant = from.defendVariant;
    to.laneTop = from.laneTop;
    to.laneBottom = from.laneBottom;
    to.markerRadius = from.markerRadius;
    to.baseSpeed = from.baseSpeed;
    to.runSpeed = from.runSpeed;
    to.boostFactor = from.boostFactor;
    to.passTimer = from.passTimer;
    to.passWaitTimer = from.passWaitTimer;
    to.boostTimer = from.boostTimer;
    to.boostDuration = from.boostDuration;
    to.order = from.order;
}

template <class From, class To> void CopySceneMembers(const From& from, To& to)
{
    to.debugMode = from.debugMode;
    to.blueScore = from.blueScore;
    to.redScore = from.redScore;
    to.tryPending = from.tryPending;
    to.formation = from.formation;
}

PlayerSnapshot TakePlayer(const Player& player)
{
    PlayerSnapshot snapshot;
    snapshot.entity = TakeEntity(player);
    snapshot.state = player.stateGraph.current;
    for (std::size_t state = 0; state < player.stateGraph.states.size(); ++state)
    {
        ActionSnapshot& kept = snapshot.actions[state];
        VisitAction(*player.stateGraph.states[state]->actions.front(),
                    [&kept](auto& action)
                    {
                        kept.started = action.scene != nullptr;
                        if constexpr (requires { action.toLaneEdge; })
                        {
                            kept.toLaneEdge = action.toLaneEdge;
                        }
                    });
    }
    CopyPlayerMembers(player, snapshot);
    return snapshot;
}

void RestorePlayer(const PlayerSnapshot& snapshot, RugbyScene& scene, Player& player)
{
    RestoreEntity(snapshot.entity, player);
    player.stateGraph.current = snapshot.state;
    for (std::size_t state = 0; state < player.stateGraph.states.size(); ++state)
    {
        const ActionSnapshot& kept = snapshot.actions[state];
        VisitAction(*player.stateGraph.states[state]->actions.front(),
                    [&kept, &scene](auto& action)
                    {
                        action.scene = kept.started ? &scene : nullptr;
                        if constexpr (requires { action.toLaneEdge; })
                        {
                            action.toLaneEdge = kept.toLaneEdge;
                        }
                        if constexpr (requires { action.ball; })
                        {
                            action.ball = kept.started ? scene.ball : nullptr;
                        }
                    });
    }
    CopyPlayerMembers(snapshot, player);
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
    snapshot.stealCooldown = scene.ball->stealCooldown;
    snapshot.stealTimer = scene.ball->stealTimer;
    snapshot.holder = SlotOf(scene, scene.ball->holder);
    snapshot.ballCarrier = SlotOf(scene, scene.ballCarrier);
    snapshot.selectedPlayer = SlotOf(scene, scene.selectedPlayer);
    snapshot.selectedReceiver = SlotOf(scene, scene.selectedReceiver);
    CopySceneMembers(scene, snapshot);
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
    scene.ball->stealCooldown = snapshot.stealCooldown;
    scene.ball->stealTimer = snapshot.stealTimer;
    scene.ball->holder = PlayerAt(scene, snapshot.holder);
    scene.ballCarrier = PlayerAt(scene, snapshot.ballCarrier);
    scene.selectedPlayer = PlayerAt(scene, snapshot.selectedPlayer);
    scene.selectedReceiver = PlayerAt(scene, snapshot.selectedReceiver);
    CopySceneMembers(snapshot, scene);
}
