#pragma once

#include "behaviour/StateGraph.h"
#include "tactics/TacticSteps.h"

namespace tryzone
{

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

// The opponent nearest to the ball is within a distance of the owner (by default his enemyIsTooNearDistance), on
// whole-pixel centres.
class PlayerCondition_EnemyIsNear final : public Condition<Player>
{
public:
    [[nodiscard]] bool Test(Player* owner) override;

    float distance = EnemyIsNearTest{}.distance; // below 0: the owner's enemyIsTooNearDistance
};

// The ball's centre lies from `from` to `to` of the pitch's length, measured from the owner's own goal line.
class PlayerCondition_BallInZone final : public Condition<Player>
{
public:
    [[nodiscard]] bool Test(Player* owner) override;

    float from = BallInZoneTest{}.from;
    float to = BallInZoneTest{}.to;
};

// The owner's team's score minus the opponents' lies from atLeast to atMost.
class PlayerCondition_ScoreDifference final : public Condition<Player>
{
public:
    [[nodiscard]] bool Test(Player* owner) override;

    int atLeast = ScoreDifferenceTest{}.atLeast;
    int atMost = ScoreDifferenceTest{}.atMost;
};

} // namespace tryzone
