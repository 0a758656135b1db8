#pragma once

#include "behaviour/StateGraph.h"

class Ball;
class Player;
class RugbyScene;

// What a player does in each state. Actions steer only through MoveTowards and Halt; entering any state but Pass
// stops the player.

class PlayerActionIdle final : public Action<Player>
{
public:
    void Start(Player* owner) override;

    RugbyScene* scene = nullptr;
};

// Where in his lane a supporter runs: the top edge or the middle, drawn at each entry or fixed.
enum class LanePosition
{
    Random,
    Edge,
    Centre,
};

// Runs level with the carrier, `behind` carrier radii behind him, at the top edge or the middle of its own lane.
class PlayerActionSupport final : public Action<Player>
{
public:
    void Start(Player* owner) override;
    void Update(Player* owner) override;

    bool toLaneEdge = false;
    RugbyScene* scene = nullptr;
    float behind = 1.f;
    LanePosition lanePosition = LanePosition::Random;
};

// The evasive point of a defender: chosen by the player's own draw, mirrored, sign-turned, or no evasion at all.
enum class Evasion
{
    Player,
    Mirror,
    Sign,
    None,
};

// Chases the carrier; away from the carrier's lane, a defender with an opponent close by heads for an evasive point
// level with the carrier instead.
class PlayerActionDefend final : public Action<Player>
{
public:
    void Start(Player* owner) override;
    void Update(Player* owner) override;

    RugbyScene* scene = nullptr;
    Evasion evasion = Evasion::Player;
};

// Runs straight at its own height for the opponents' goal line.
class PlayerActionAttack final : public Action<Player>
{
public:
    void Start(Player* owner) override;
    void Update(Player* owner) override;

    RugbyScene* scene = nullptr;
    float speedFactor = -1.f; // below 0: the player's own attackSpeedFactor
};

// Who receives a pass.
enum class Receiver
{
    Random,   // any teammate, as the ball picks him
    Nearest,  // the teammate nearest to the passer
    Advanced, // the teammate nearest to the opponents' goal line
};

// Keeps running and tries a pass once both pass timers have run out.
class PlayerActionPass final : public Action<Player>
{
public:
    void Start(Player* owner) override;
    void Update(Player* owner) override;

    RugbyScene* scene = nullptr;
    Ball* ball = nullptr;
    Receiver receiver = Receiver::Random;
};

// Runs to a spot of its own lane, `depth` of the pitch's length from its own goal line, and waits there.
class PlayerActionHold final : public Action<Player>
{
public:
    void Start(Player* owner) override;
    void Update(Player* owner) override;

    RugbyScene* scene = nullptr;
    float depth = 0.25f;
};
