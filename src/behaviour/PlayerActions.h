#pragma once

#include "behaviour/StateGraph.h"
#include "tactics/TacticSteps.h"

namespace tryzone
{

class Ball;
class Player;
class RugbyScene;

// What a player does in each state. Actions steer only through MoveTowards and Halt; entering any state but Pass
// stops the player.

// What an action remembers from one frame to the next, as snapshots keep it: whether it has started in this match
// (it then points to the match, and to its ball), the support action's side of the lane, and whom a marker follows.
struct ActionMemory
{
    bool started = false;
    bool toLaneEdge = false;
    int marked = -1; // the marked opponent's slot

    bool operator==(const ActionMemory&) const = default;
};

// Every action a player's graph holds: the graph's action type, so that a snapshot can keep each of them.
class PlayerAction : public Action<Player>
{
public:
    // An action with more to remember than the match it started in overrides both.
    [[nodiscard]] virtual ActionMemory Remember() const { return {scene != nullptr, false}; }
    virtual void Recall(const ActionMemory& memory, RugbyScene& match) { scene = memory.started ? &match : nullptr; }

    RugbyScene* scene = nullptr;
};

class PlayerActionIdle final : public PlayerAction
{
public:
    void Start(Player* owner) override;
};

// Runs level with the carrier, `behind` carrier radii behind him, at the top edge or the middle of its own lane.
class PlayerActionSupport final : public PlayerAction
{
public:
    void Start(Player* owner) override;
    void Update(Player* owner) override;
    [[nodiscard]] ActionMemory Remember() const override { return {scene != nullptr, toLaneEdge}; }
    void Recall(const ActionMemory& memory, RugbyScene& match) override;

    bool toLaneEdge = false;
    float behind = SupportStep{}.behind;
    LanePosition lanePosition = SupportStep{}.lanePosition;
};

// Chases the carrier; away from the carrier's lane, a defender with an opponent close by heads for an evasive point
// level with the carrier instead.
class PlayerActionDefend final : public PlayerAction
{
public:
    void Start(Player* owner) override;
    void Update(Player* owner) override;

    Evasion evasion = DefendStep{}.evasive;
};

// Runs straight at its own height for the opponents' goal line.
class PlayerActionAttack final : public PlayerAction
{
public:
    void Start(Player* owner) override;
    void Update(Player* owner) override;

    float speedFactor = AttackStep{}.speedFactor; // below 0: the player's own attackSpeedFactor
};

// The one pass rule, for the state graph's Pass and an outside brain's order alike: only the carrier passes, once his
// cooldown and his wait are both over; luck x 85 percent decides, and either way both timers start again. Until then
// the wait grows. The receiver is `chosen` when given, else picked by `choice` once the pass succeeds.
void PassWhenReady(Player& passer, Receiver choice, Player* chosen = nullptr);

// Keeps running and tries a pass once both pass timers have run out.
class PlayerActionPass final : public PlayerAction
{
public:
    void Start(Player* owner) override;
    void Update(Player* owner) override;
    void Recall(const ActionMemory& memory, RugbyScene& match) override;

    Ball* ball = nullptr;
    Receiver receiver = PassStep{}.receiver;
};

// Runs to a spot of its own lane, `depth` of the pitch's length from its own goal line, and waits there.
class PlayerActionHold final : public PlayerAction
{
public:
    void Start(Player* owner) override;
    void Update(Player* owner) override;

    float depth = HoldStep{}.depth;
};

} // namespace tryzone
