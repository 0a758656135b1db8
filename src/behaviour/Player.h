#pragma once

#include "behaviour/PlayerActions.h"
#include "behaviour/PlayerOrder.h"
#include "behaviour/StateGraph.h"
#include "core/Entity.h"
#include "tactics/Tactic.h"

#include <cstdint>
#include <memory>

namespace tryzone
{

class RugbyScene;

// Indices of the states of the default tactic in the player's graph.
enum PlayerState : int
{
    Idle = 0,
    Support = 1,
    Defend = 2,
    Attack = 3,
    Pass = 4,
};

// "Idle" ... "Pass" for the five states, "Unknown" for anything else.
[[nodiscard]] const char* PlayerStateName(int state);

// What changes in a player, in one aggregate that snapshots copy whole: a member outside it is lost by every
// checkpoint and jump.
struct PlayerStatus
{
    float luckMultiplier = 0.f;
    float enemyIsTooNearDistance = 0.f;
    float passCooldown = 0.f;
    float passTime = 0.f;
    std::uint8_t number = 0;
    std::uint8_t lane = 0;
    std::uint8_t team = 0; // 0 blue, attacks towards x = W; 1 red, attacks towards x = 0
    bool defendVariant = false;
    float attackSpeedFactor = 1.0f;
    float laneTop = 0.f;
    float laneBottom = 0.f;
    float markerRadius = 100.f;
    float baseSpeed = 300.f;
    float runSpeed = 0.f;
    float boostFactor = 1.3f;
    float passTimer = 0.f;
    float passWaitTimer = 0.f;
    float boostTimer = 0.f;
    float boostDuration = 1.0f;
    // Builtin unless an outside brain controls him.
    PlayerOrder order;

    bool operator==(const PlayerStatus&) const = default;
};

// One rugby player, driven by its own state graph and held inside its horizontal lane.
class Player final : public Entity, public PlayerStatus
{
public:
    // Wired by the tactic; with none, by the default tactic.
    Player(float radius, const sf::Color& color, std::shared_ptr<const CompiledTactic> playerTactic = nullptr);

    void Setup(const std::uint8_t& teamFlag, const std::uint8_t& shirtNumber, const std::uint8_t& laneIndex,
               const float& runningSpeed, const float& luck, const float& nearDistance, const float& cooldown,
               const float& waitBeforePass);

    void Tick() override;

    // A speed boost, when the last one is at least boostDuration old.
    void Boost();

    // Its state, number, marker and reach, as debug mode draws them.
    void DrawDebugMarks() const;

    // The current state as the tactic names it.
    [[nodiscard]] const char* StateName() const { return tactic->StateName(stateGraph.current); }

    StateGraph<Player, PlayerAction> stateGraph{this, 5};
    RugbyScene* scene;
    // Shared with the team's other players and the scene; not copied into snapshots, which keep only indices.
    std::shared_ptr<const CompiledTactic> tactic;

private:
    void FollowOrder();
    // Holds the centre between the dead-ball lines, 0 <= x <= W.
    void KeepOnPitch();
    void PassAsOrdered();
};

} // namespace tryzone
