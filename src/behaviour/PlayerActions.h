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

// Runs level with the carrier, one carrier radius behind him, at the top edge or the middle of its own lane.
class PlayerActionSupport final : public Action<Player>
{
public:
    void Start(Player* owner) override;
    void Update(Player* owner) override;

    bool toLaneEdge = false;
    RugbyScene* scene = nullptr;
};

// Chases the carrier; away from the carrier's lane, a defender with an opponent close by heads for an evasive point
// level with the carrier instead.
class PlayerActionDefend final : public Action<Player>
{
public:
    void Start(Player* owner) override;
    void Update(Player* owner) override;

    RugbyScene* scene = nullptr;
};

// Runs straight at its own height for the opponents' goal line.
class PlayerActionAttack final : public Action<Player>
{
public:
    void Start(Player* owner) override;
    void Update(Player* owner) override;

    RugbyScene* scene = nullptr;
};

// Keeps running and tries a pass once both pass timers have run out.
class PlayerActionPass final : public Action<Player>
{
public:
    void Start(Player* owner) override;
    void Update(Player* owner) override;

    RugbyScene* scene = nullptr;
    Ball* ball = nullptr;
};
