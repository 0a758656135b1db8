#include "core/Random.h"
#include "support/TestMatch.h"

#include <gtest/gtest.h>
#include <set>

namespace tryzone
{

namespace
{
// Blue carrier in slot 2; a blue teammate in slot 3 and a red opponent in slot 7 stand on him.
class BallTest : public MatchWorld
{
protected:
    void SetUp() override
    {
        MatchWorld::SetUp();
        SpreadAlongTheBottomLane(600.f);
        Slot(2)->PlaceAt(640.f, 600.f, 0.5f, 0.5f);
        Slot(3)->PlaceAt(650.f, 600.f, 0.5f, 0.5f);
        Slot(7)->PlaceAt(630.f, 600.f, 0.5f, 0.5f);
        ball = AddBall(2);
        ball->holder = scene->ballCarrier;
    }

    void ExpectHolder(Player* player) const
    {
        EXPECT_EQ(ball->holder, player);
        EXPECT_EQ(scene->ballCarrier, player);
    }

    Ball* ball = nullptr;
};
} // namespace

TEST_F(BallTest, IsCreatedOnTheScenesCarrier)
{
    EXPECT_EQ(ball->tag, 0);
    EXPECT_EQ(ball->stealCooldown, 2.f);
    EXPECT_EQ(ball->stealTimer, 0.f);
    EXPECT_EQ(ball->Shape().getRadius(), 15.f);
    ExpectHolder(Slot(2));
}

TEST_F(BallTest, SitsOnItsHolderAfterEveryTick)
{
    Slot(2)->MoveTowards(900, 300, 300.f);
    for (int frame = 0; frame < 10; ++frame)
    {
        Slot(2)->Update();
        ball->Tick();
        EXPECT_EQ(ball->PositionAt(0.5f, 0.5f), Slot(2)->PositionAt(0.5f, 0.5f));
    }
    EXPECT_FLOAT_EQ(ball->stealTimer, 10.f * kMaxFrameTime);
}

TEST_F(BallTest, TheHolderAndHisTeammatesChangeNothing)
{
    ball->stealTimer = 5.f;
    ball->HandleCollision(Slot(2));
    ball->HandleCollision(Slot(3));
    ball->HandleCollision(ball); // not a player
    ExpectHolder(Slot(2));
    EXPECT_EQ(ball->stealTimer, 5.f);
}

TEST_F(BallTest, NoTackleIsTriedDuringTheProtectionTime)
{
    Slot(7)->luckMultiplier = 2.f; // a tackle that is tried always succeeds
    ball->GiveTo(Slot(2));
    EXPECT_EQ(ball->stealTimer, 0.f);
    ball->stealTimer = 1.9f;
    ball->HandleCollision(Slot(7));
    ExpectHolder(Slot(2));
    EXPECT_EQ(ball->stealTimer, 1.9f);

    ball->stealTimer = 2.f;
    ball->HandleCollision(Slot(7));
    ExpectHolder(Slot(7));
    EXPECT_EQ(ball->stealTimer, 0.f);
    EXPECT_EQ(Slot(7)->runSpeed, Slot(7)->baseSpeed); // a tackler gets no boost
}

TEST_F(BallTest, NoLuckNeverTacklesButRestartsTheProtectionTime)
{
    SeedRandom(3);
    Slot(7)->luckMultiplier = 0.f;
    for (int attempt = 0; attempt < 200; ++attempt)
    {
        ball->stealTimer = 2.5f;
        ball->HandleCollision(Slot(7));
        ExpectHolder(Slot(2));
        EXPECT_EQ(ball->stealTimer, 0.f);
    }
}

TEST_F(BallTest, LuckOfOnePointSevenAlwaysTackles)
{
    SeedRandom(4);
    for (int attempt = 0; attempt < 200; ++attempt)
    {
        ball->holder = scene->ballCarrier = Slot(2);
        Slot(7)->luckMultiplier = 1.7f;
        ball->stealTimer = 2.f;
        ball->HandleCollision(Slot(7));
        ExpectHolder(Slot(7));
    }
}

TEST_F(BallTest, GiveToProtectsAndBoostsTheReceiver)
{
    Slot(4)->boostTimer = 1.f;
    ball->stealTimer = 3.f;
    ball->GiveTo(Slot(4));
    ExpectHolder(Slot(4));
    EXPECT_EQ(ball->stealTimer, 0.f);
    EXPECT_FLOAT_EQ(Slot(4)->runSpeed, 390.f);
}

TEST_F(BallTest, GiveToNobodyOnlySaysSo)
{
    ball->stealTimer = 2.f;
    testing::internal::CaptureStdout();
    ball->GiveTo(nullptr);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "joueur non valide\n");
    ExpectHolder(Slot(2));
    EXPECT_EQ(ball->stealTimer, 2.f);
}

TEST_F(BallTest, APassGoesToATeammateAndGivesNoProtection)
{
    SeedRandom(9);
    std::set<Player*> receivers;
    for (int pass = 0; pass < 200; ++pass)
    {
        Player* passer = scene->ballCarrier;
        passer->boostTimer = 0.4f; // a receiver already boosted stays boosted for a full duration
        ball->stealTimer = 0.f;
        ball->PassFrom(passer);
        Player* receiver = scene->ballCarrier;
        ASSERT_NE(receiver, passer);
        ASSERT_EQ(receiver->team, 0);
        ExpectHolder(receiver);
        EXPECT_EQ(ball->stealTimer, ball->stealCooldown);
        EXPECT_EQ(receiver->boostTimer, 0.f);
        receivers.insert(receiver);
    }
    EXPECT_EQ(receivers.size(), 5u);
}

TEST_F(BallTest, APassFromAPlayerWithoutTeammatesIsRefused)
{
    Slot(2)->team = 4;
    testing::internal::CaptureStdout();
    ball->PassFrom(Slot(2));
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "joueur non valide\n");
    ExpectHolder(Slot(2));
}

TEST_F(BallTest, AnOpponentOnTheReceiverTacklesAtTheFirstCheckAfterAPass)
{
    // Everyone stands still: with the graphs stopped only the ball and the collisions act.
    for (Player* player : scene->players)
    {
        player->stateGraph.current = -1;
    }
    Slot(7)->PlaceAt(1000.f, 700.f, 0.5f, 0.5f);
    Step(); // everyone joins the live list
    ball->stealTimer = 0.f;
    ball->PassFrom(Slot(2));
    Player* receiver = scene->ballCarrier;
    const sf::Vector2f at = receiver->PositionAt(0.5f, 0.5f);
    Slot(8)->PlaceAt(at.x + 10.f, at.y, 0.5f, 0.5f);
    Slot(8)->luckMultiplier = 2.f;

    Step();
    EXPECT_EQ(ball->PositionAt(0.5f, 0.5f), at);
    ExpectHolder(Slot(8));
}

} // namespace tryzone
