#pragma once

#include "behaviour/StateGraph.h"

class Player;

// The owner holds the ball.
class PlayerCondition_PlayerHaveBall final : public Condition<Player>
{
public:
    [[nodiscard]] bool Test(Player* owner) override;
};

// The owner's team holds the ball (the carrier himself included).
class PlayerCondition_TeamHaveBall final : public Condition<Player>
{
public:
    [[nodiscard]] bool Test(Player* owner) override;
};

// The opponent nearest to the ball is within the owner's enemyIsTooNearDistance, on whole-pixel centres.
class PlayerCondition_EnemyIsNear final : public Condition<Player>
{
public:
    [[nodiscard]] bool Test(Player* owner) override;
};
