#include "behaviour/PlayerWiring.h"

#include "support/TestMatch.h"
#include "behaviour/PlayerActionMark.h"
#include "behaviour/PlayerConditions.h"
#include "tactics/TacticCatalogue.h"

#include <gtest/gtest.h>
#include <typeinfo>

namespace tryzone
{

namespace
{
TacticStep StepWith(const char* kind, const std::string& name, ParameterValue value)
{
    TacticStep step = DefaultStep(kind);
    for (Parameter& parameter : step.parameters)
    {
        if (parameter.name == name)
        {
            parameter.value = std::move(value);
        }
    }
    return step;
}

// Players along the bottom lane, a hundred pixels apart from x = 100, the ball with red slot 5 (x = 600).
class CatalogueTest : public MatchWorld
{
protected:
    void SetUp() override
    {
        MatchWorld::SetUp();
        SpreadAlongTheBottomLane(700.f);
        AddBall(5);
    }

    // Runs the action's start and one update on the player; where he is sent.
    sf::Vector2i Steer(Player* player, const TacticStep& step)
    {
        auto action = MakePlayerAction(step);
        action->Start(player);
        action->Update(player);
        return player->target.position;
    }

    bool Holds(Player* player, const TacticStep& step, bool expected = true)
    {
        return MakePlayerCondition({step, expected})->Test(player) == expected;
    }
};
} // namespace

TEST_F(CatalogueTest, SupportTakesItsDistanceAndLanePositionFromTheParameters)
{
    Player* supporter = Slot(6);
    supporter->lane = 0;
    // The carrier is red, at x = 600 with radius 25: two radii behind him is x = 650.
    TacticStep step = StepWith("Support", "behind", 2.0);
    step.parameters[1].value = std::string("edge");
    EXPECT_EQ(Steer(supporter, step), sf::Vector2i(650, 0));
    step.parameters[1].value = std::string("centre");
    EXPECT_EQ(Steer(supporter, step), sf::Vector2i(650, 120));
}

TEST_F(CatalogueTest, DefendEvasionFollowsItsParameter)
{
    // Blue defender at x 100 in the middle lane, the red carrier in the bottom lane, the nearest red at x 150.
    Player* defender = Slot(0);
    defender->PlaceAt(100.f, 300.f, 0.5f, 0.5f);
    defender->lane = 1;
    Slot(9)->PlaceAt(150.f, 300.f, 0.5f, 0.5f);
    EXPECT_EQ(Steer(defender, StepWith("Defend", "evasive", std::string("mirror"))).x, 200);
    EXPECT_EQ(Steer(defender, StepWith("Defend", "evasive", std::string("sign"))).x, -150);
    EXPECT_EQ(Steer(defender, StepWith("Defend", "evasive", std::string("none"))), sf::Vector2i(600, 700));
}

TEST_F(CatalogueTest, AttackSpeedFactorAndHoldDepth)
{
    Player* carrier = Slot(5);
    Steer(carrier, StepWith("Attack", "speedFactor", 2.0));
    EXPECT_FLOAT_EQ(carrier->speed, 600.f);
    // A quarter of the pitch from each team's own goal line: blue's at x 0, red's at x 1280.
    EXPECT_EQ(Steer(Slot(0), StepWith("Hold", "depth", 0.25)), sf::Vector2i(320, 600));
    EXPECT_EQ(Steer(Slot(7), StepWith("Hold", "depth", 0.25)), sf::Vector2i(960, 600));
}

TEST_F(CatalogueTest, PassGoesToTheNearestOrTheMostAdvancedTeammate)
{
    for (std::size_t slot = 5; slot < 10; ++slot)
    {
        Player* player = Slot(slot);
        player->luckMultiplier = 2.f; // the pass always succeeds, at once
        player->passTimer = player->passCooldown = 0.f;
        player->passWaitTimer = player->passTime = 0.f;
    }
    Player* carrier = Slot(7); // x 800; teammates at 600, 700, 900, 1000; red attacks towards x 0
    scene->ballCarrier = carrier;
    scene->ball->holder = carrier;
    Steer(carrier, StepWith("Pass", "receiver", std::string("advanced")));
    EXPECT_EQ(scene->ballCarrier, Slot(5));

    Player* from = Slot(5);
    Steer(from, StepWith("Pass", "receiver", std::string("nearest")));
    EXPECT_EQ(scene->ballCarrier, Slot(6));
}

TEST_F(CatalogueTest, ConditionsOnDistanceBallZoneAndScore)
{
    // The nearest blue to the ball (x 600) is slot 4 at x 500, 100 pixels from the carrier.
    Player* carrier = Slot(5);
    EXPECT_TRUE(Holds(carrier, StepWith("EnemyIsNear", "distance", 100.0)));
    EXPECT_TRUE(Holds(carrier, StepWith("EnemyIsNear", "distance", 99.0), false));
    EXPECT_TRUE(Holds(carrier, DefaultStep("EnemyIsNear"), false)); // his own 75

    // The ball at x 600 is in blue's own half (under 640) and red's far half.
    EXPECT_TRUE(Holds(Slot(0), DefaultStep("BallInZone")));
    EXPECT_TRUE(Holds(carrier, DefaultStep("BallInZone"), false));
    TacticStep far = StepWith("BallInZone", "from", 0.5);
    far.parameters[1].value = 1.0;
    EXPECT_TRUE(Holds(carrier, far));

    scene->redScore = 3;
    scene->blueScore = 1;
    EXPECT_TRUE(Holds(carrier, DefaultStep("ScoreDifference")));
    EXPECT_TRUE(Holds(Slot(0), DefaultStep("ScoreDifference"), false));
    TacticStep behind = StepWith("ScoreDifference", "atLeast", -2.0);
    behind.parameters[1].value = -2.0;
    EXPECT_TRUE(Holds(Slot(0), behind));
}

TEST_F(CatalogueTest, WireBuildsTheTacticsGraphAndStartsItsStartState)
{
    Tactic tactic{"", "B", {{"A", DefaultStep("Hold"), {}}, {"B", DefaultStep("Idle"), {{"A", {}}}}}};
    const CompiledTactic compiled = CompileTactic(tactic);
    Player* player = Slot(1);
    Wire(player->stateGraph, compiled);
    EXPECT_EQ(player->stateGraph.states.size(), 2u);
    EXPECT_EQ(player->stateGraph.current, 1);
    player->stateGraph.Update(); // the link with no condition is taken at once
    EXPECT_EQ(player->stateGraph.current, 0);
}

} // namespace tryzone

namespace tryzone
{

// Every entry of the catalogue builds its own class: an entry wired to another's builder (or to none) fails here,
// and an entry with no builder at all does not compile.
TEST(CatalogueWiring, EveryEntryBuildsTheClassOfItsName)
{
    ASSERT_EQ(CatalogueActions().size(), std::variant_size_v<ActionStep>);
    ASSERT_EQ(CatalogueConditions().size(), std::variant_size_v<ConditionTest>);
    for (std::size_t entry = 0; entry < CatalogueActions().size(); ++entry)
    {
        const CatalogueEntry& action = CatalogueActions()[entry];
        ASSERT_NE(action.action, nullptr) << action.name;
        EXPECT_EQ(action.action(DefaultStep(action.name)).index(), entry) << action.name;
        const auto made = MakePlayerAction(DefaultStep(action.name));
        EXPECT_NE(std::string(typeid(*made).name()).find("PlayerAction" + std::string(action.name)), std::string::npos)
            << action.name << " builds " << typeid(*made).name();
    }
    for (std::size_t entry = 0; entry < CatalogueConditions().size(); ++entry)
    {
        const CatalogueEntry& condition = CatalogueConditions()[entry];
        ASSERT_NE(condition.condition, nullptr) << condition.name;
        EXPECT_EQ(condition.condition(DefaultStep(condition.name)).index(), entry) << condition.name;
        const auto made = MakePlayerCondition(TacticCondition{DefaultStep(condition.name), false});
        EXPECT_NE(std::string(typeid(*made).name()).find("PlayerCondition_" + std::string(condition.name)),
                  std::string::npos)
            << condition.name;
        EXPECT_FALSE(made->expected);
    }
    // A word that was never checked is a fault, not a silent default; so is a kind the catalogue does not have.
    TacticStep unchecked = DefaultStep("Pass");
    unchecked.parameters[0].value = std::string("farthest");
    EXPECT_THROW((void)CompileTactic({"", "A", {{"A", unchecked, {}}}}), TacticError);
    EXPECT_THROW((void)MakePlayerAction(TacticStep{"Dance", {}}), std::invalid_argument);
}

// A parameter left out plays as the built-in players do.
TEST(CatalogueWiring, DefaultsAreTheBuiltInValues)
{
    const auto support = MakePlayerAction(DefaultStep("Support"));
    EXPECT_EQ(dynamic_cast<const PlayerActionSupport&>(*support).behind, 1.f);
    EXPECT_EQ(dynamic_cast<const PlayerActionAttack&>(*MakePlayerAction(DefaultStep("Attack"))).speedFactor, -1.f);
    EXPECT_EQ(dynamic_cast<const PlayerActionHold&>(*MakePlayerAction(DefaultStep("Hold"))).depth, 0.25f);
    const auto zone = MakePlayerCondition(TacticCondition{DefaultStep("BallInZone"), true});
    EXPECT_EQ(dynamic_cast<const PlayerCondition_BallInZone&>(*zone).to, 0.5f);
    const auto score = MakePlayerCondition(TacticCondition{DefaultStep("ScoreDifference"), true});
    EXPECT_EQ(dynamic_cast<const PlayerCondition_ScoreDifference&>(*score).atLeast, 1);
}

} // namespace tryzone
