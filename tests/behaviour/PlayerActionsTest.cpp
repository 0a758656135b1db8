#include "behaviour/PlayerActions.h"

#include "behaviour/PlayerConditions.h"
#include "core/Random.h"
#include "support/TestMatch.h"

#include <gtest/gtest.h>

namespace tryzone
{

namespace
{
// Players far apart along the bottom lane, ball with the red player in slot 5; tests move the ones they need.
class ActionsTest : public MatchWorld
{
protected:
    void SetUp() override
    {
        MatchWorld::SetUp();
        SpreadAlongTheBottomLane(700.f);
        AddBall(5);
    }

    template <class A> A& ActionOf(Player* player, int state)
    {
        return *static_cast<A*>(player->stateGraph.states[static_cast<std::size_t>(state)]->actions.front().get());
    }

    void Move(std::size_t slot, float x, float y, std::uint8_t lane)
    {
        Slot(slot)->PlaceAt(x, y, 0.5f, 0.5f);
        Slot(slot)->lane = lane;
    }

    void GiveBallTo(std::size_t slot)
    {
        scene->ballCarrier = Slot(slot);
        scene->ball->holder = Slot(slot);
    }
};
} // namespace

TEST_F(ActionsTest, EveryStateButPassStopsThePlayerOnEntry)
{
    Player* player = Slot(1);
    for (const int state : {Idle, Support, Defend, Attack})
    {
        ASSERT_TRUE(player->MoveTowards(900, 700, 300.f));
        player->stateGraph.SetState(state);
        EXPECT_FALSE(player->target.active) << PlayerStateName(state);
        EXPECT_EQ(player->direction, sf::Vector2f(0.f, 0.f)) << PlayerStateName(state);
    }
    ASSERT_TRUE(player->MoveTowards(900, 700, 300.f));
    player->stateGraph.SetState(Pass);
    EXPECT_TRUE(player->target.active);
}

TEST_F(ActionsTest, SupportRunsOneCarrierRadiusBehindOnTheCarriersOwnSide)
{
    Move(5, 700.5f, 300.f, 1);
    Player* redSupporter = Slot(6);
    Slot(6)->lane = 0;
    auto& support = ActionOf<PlayerActionSupport>(redSupporter, Support);
    redSupporter->stateGraph.SetState(Support);

    support.toLaneEdge = false;
    support.Update(redSupporter);
    EXPECT_EQ(redSupporter->target.position, sf::Vector2i(725, 120)); // red defends the right: + radius
    support.toLaneEdge = true;
    support.Update(redSupporter);
    EXPECT_EQ(redSupporter->target.position, sf::Vector2i(725, 0));

    GiveBallTo(2);
    Move(2, 400.9f, 300.f, 1);
    Player* blueSupporter = Slot(3);
    auto& blueSupport = ActionOf<PlayerActionSupport>(blueSupporter, Support);
    blueSupporter->stateGraph.SetState(Support);
    blueSupport.toLaneEdge = true;
    blueSupport.Update(blueSupporter);
    EXPECT_EQ(blueSupporter->target.position, sf::Vector2i(375, 480)); // blue defends the left: - radius
    EXPECT_EQ(blueSupporter->speed, blueSupporter->runSpeed);
}

TEST_F(ActionsTest, SupportPicksTheLaneEdgeAboutHalfTheTime)
{
    SeedRandom(21);
    Player* supporter = Slot(6);
    auto& support = ActionOf<PlayerActionSupport>(supporter, Support);
    int edges = 0;
    for (int entry = 0; entry < 400; ++entry)
    {
        supporter->stateGraph.SetState(Support);
        edges += support.toLaneEdge ? 1 : 0;
    }
    EXPECT_GT(edges, 150);
    EXPECT_LT(edges, 250);
}

TEST_F(ActionsTest, ADefenderInTheCarriersLaneChasesHimWhateverIsNear)
{
    Move(5, 640.7f, 600.2f, 2);
    Player* defender = Slot(0);
    Move(0, 200.f, 650.f, 2);
    Move(9, 210.f, 650.f, 2); // an opponent right beside him does not matter in the carrier's lane
    auto& defend = ActionOf<PlayerActionDefend>(defender, Defend);
    defender->stateGraph.SetState(Defend);
    defend.Update(defender);
    EXPECT_EQ(defender->target.position, sf::Vector2i(640, 600));
}

TEST_F(ActionsTest, ADefenderElsewhereEvadesAnOpponentWithinReachInclusive)
{
    Move(5, 900.f, 120.f, 0);
    Player* defender = Slot(1);
    Move(1, 100.f, 600.f, 2);
    Move(6, 150.f, 600.f, 2); // 50 pixels away: the nearest opponent
    defender->enemyIsTooNearDistance = 50.f;
    auto& defend = ActionOf<PlayerActionDefend>(defender, Defend);
    defender->stateGraph.SetState(Defend);

    defender->defendVariant = false;
    defend.Update(defender);
    EXPECT_EQ(defender->target.position, sf::Vector2i(200, 120)); // mirrored through the opponent, at the carrier's y

    defender->defendVariant = true;
    defend.Update(defender);
    EXPECT_EQ(defender->target.position, sf::Vector2i(-150, 120));

    Move(6, 151.f, 600.f, 2);
    defend.Update(defender);
    EXPECT_EQ(defender->target.position, sf::Vector2i(900, 120)); // out of reach: chase the carrier
}

TEST_F(ActionsTest, AttackersRunAtTheirOwnHeightForTheOpponentsLine)
{
    GiveBallTo(2);
    Move(2, 400.f, 333.7f, 1);
    Player* blue = Slot(2);
    blue->attackSpeedFactor = 1.5f;
    auto& attack = ActionOf<PlayerActionAttack>(blue, Attack);
    attack.Start(blue);
    attack.Update(blue);
    EXPECT_EQ(blue->target.position, sf::Vector2i(1280, 333));
    EXPECT_FLOAT_EQ(blue->speed, 450.f);

    Player* red = Slot(7);
    auto& redAttack = ActionOf<PlayerActionAttack>(red, Attack);
    redAttack.Start(red);
    redAttack.Update(red);
    EXPECT_EQ(red->target.position, sf::Vector2i(0, 700));
}

TEST_F(ActionsTest, APassIsTriedOnlyOnceBothTimersHaveRunOut)
{
    Player* passer = Slot(5);
    passer->luckMultiplier = 0.f; // every attempt fails, so the passer keeps the ball
    auto& pass = ActionOf<PlayerActionPass>(passer, Pass);
    passer->stateGraph.SetState(Pass);
    EXPECT_EQ(pass.ball, scene->ball);

    passer->passTimer = 1.f;
    passer->passWaitTimer = 0.49f;
    pass.Update(passer);
    EXPECT_FLOAT_EQ(passer->passWaitTimer, 0.49f + kMaxFrameTime); // still waiting
    EXPECT_EQ(passer->passTimer, 1.f);

    passer->passTimer = 0.99f;
    passer->passWaitTimer = 0.5f;
    pass.Update(passer);
    EXPECT_FLOAT_EQ(passer->passWaitTimer, 0.5f + kMaxFrameTime); // the cooldown is not over

    passer->passTimer = 1.f;
    passer->passWaitTimer = 0.5f;
    pass.Update(passer);
    EXPECT_EQ(passer->passTimer, 0.f); // tried, failed, both timers start again
    EXPECT_EQ(passer->passWaitTimer, 0.f);
    EXPECT_EQ(scene->ballCarrier, passer);
}

TEST_F(ActionsTest, ASuccessfulPassSendsThePasserToSupportInTheSameTick)
{
    Player* passer = Slot(5);
    passer->luckMultiplier = 2.f;
    passer->stateGraph.SetState(Pass);
    passer->passTimer = 1.f;
    passer->passWaitTimer = 0.5f;
    passer->Tick();
    EXPECT_NE(scene->ballCarrier, passer);
    EXPECT_EQ(scene->ballCarrier->team, 1);
    EXPECT_EQ(scene->ball->holder, scene->ballCarrier);
    EXPECT_EQ(passer->stateGraph.current, Support);
}

TEST_F(ActionsTest, EnemyIsNearComparesWholePixelCentresInclusive)
{
    Player* carrier = Slot(5);
    Move(5, 500.9f, 600.f, 2);
    scene->ball->PlaceAt(500.9f, 600.f, 0.5f, 0.5f);
    Move(0, 575.1f, 600.f, 2); // 74.2 apart, 75 in whole pixels
    carrier->enemyIsTooNearDistance = 75.f;
    PlayerCondition_EnemyIsNear near;
    EXPECT_TRUE(near.Test(carrier));
    carrier->enemyIsTooNearDistance = 74.9f;
    EXPECT_FALSE(near.Test(carrier));
}

TEST_F(ActionsTest, TeamAndPlayerConditionsReadTheScenesCarrier)
{
    PlayerCondition_PlayerHaveBall hasBall;
    PlayerCondition_TeamHaveBall teamHasBall;
    EXPECT_TRUE(hasBall.Test(Slot(5)));
    EXPECT_TRUE(teamHasBall.Test(Slot(5)));
    EXPECT_FALSE(hasBall.Test(Slot(6)));
    EXPECT_TRUE(teamHasBall.Test(Slot(6)));
    EXPECT_FALSE(teamHasBall.Test(Slot(0)));
}

namespace
{
struct PassAttempts : MatchObserver
{
    void OnPassAttempt(const Player& /*passer*/, float, float, bool) override { ++count; }
    int count = 0;
};

// Red's carrier in Pass, both his timers run out by the end of the next update.
Player* ReadyToPass(RugbyScene& scene, Player* carrier)
{
    carrier->stateGraph.SetState(Pass);
    carrier->passTimer = carrier->passCooldown;
    carrier->passWaitTimer = carrier->passTime - kMaxFrameTime / 2.f;
    scene.ball->stealTimer = 10.f;
    return carrier;
}
} // namespace

TEST_F(ActionsTest, ACarrierWhoLosesTheBallBetweenTwoUpdatesNeverPassesIt)
{
    PassAttempts attempts;
    scene->observer = &attempts;
    Step(); // everyone joins the live list

    // Tackled in the collision pass, by a blue player who cannot miss.
    Player* tackled = ReadyToPass(*scene, Slot(5));
    Move(4, 615.f, 700.f, 2);
    Slot(4)->luckMultiplier = 2.f;
    Step();
    ASSERT_EQ(scene->ballCarrier, Slot(4));
    const float waited = tackled->passWaitTimer;
    Step();
    EXPECT_EQ(attempts.count, 0);
    EXPECT_EQ(tackled->passWaitTimer, waited);
    EXPECT_NE(tackled->stateGraph.current, Pass);
    EXPECT_EQ(scene->ballCarrier->team, 0);

    // Scoring gives the kick-off ball to blue before the scorer's own update.
    Player* scorer = ReadyToPass(*scene, Slot(6));
    Move(6, 100.f, 700.f, 2);
    GiveBallTo(6);
    scene->ball->PlaceAt(100.f, 700.f, 0.5f, 0.5f);
    Step();
    EXPECT_EQ(scene->redScore, 1);
    EXPECT_EQ(attempts.count, 0);
    EXPECT_EQ(scene->ballCarrier->team, 0);
    EXPECT_NE(scorer->stateGraph.current, Pass);

    // Nor can anyone else make the ball leave its holder.
    Player* holder = scene->ballCarrier;
    scene->ball->PassFrom(scorer);
    EXPECT_EQ(scene->ballCarrier, holder);
    EXPECT_EQ(scene->ball->holder, holder);
}

} // namespace tryzone
