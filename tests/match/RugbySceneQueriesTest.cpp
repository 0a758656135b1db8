#include "core/Random.h"
#include "support/TestMatch.h"

#include <gtest/gtest.h>
#include <set>

namespace tryzone
{

namespace
{
class QueriesTest : public MatchWorld
{
protected:
    void SetUp() override
    {
        MatchWorld::SetUp();
        SpreadAlongTheBottomLane(700.f);
    }

    void Move(std::size_t slot, float x, float y) { Slot(slot)->PlaceAt(x, y, 0.5f, 0.5f); }
};
} // namespace

TEST_F(QueriesTest, LaneCentres)
{
    EXPECT_EQ(scene->GetLaneCentre(0), sf::Vector2f(0.f, 120.f));
    EXPECT_EQ(scene->GetLaneCentre(1), sf::Vector2f(0.f, 360.f));
    EXPECT_EQ(scene->GetLaneCentre(2), sf::Vector2f(0.f, 600.f));
    EXPECT_EQ(scene->GetLaneCentre(3), sf::Vector2f(0.f, 0.f));
}

TEST_F(QueriesTest, NearestOpponentToTheBallTiesGoToTheLowerSlot)
{
    AddBall(2);
    Move(2, 500.f, 300.f);
    scene->ball->PlaceAt(500.f, 300.f, 0.5f, 0.5f);
    Move(8, 500.f, 340.f);
    Move(6, 540.f, 300.f);
    EXPECT_EQ(scene->FindNearestOpponentToBall(), Slot(6));

    // Truncated to whole pixels, 10.9 and 10.1 are the same distance: the lower slot keeps it.
    Move(6, 510.9f, 200.f);
    Move(8, 510.1f, 200.f);
    scene->ball->PlaceAt(500.f, 200.f, 0.5f, 0.5f);
    EXPECT_EQ(scene->FindNearestOpponentToBall(), Slot(6));

    // A red carrier is opposed by the blue slots.
    scene->ballCarrier = Slot(9);
    Move(4, 499.f, 200.f);
    EXPECT_EQ(scene->FindNearestOpponentToBall(), Slot(4));
}

TEST_F(QueriesTest, NearestTeammateToTheBallIsNeverTheCarrier)
{
    for (const std::size_t carrier : {std::size_t{0}, std::size_t{5}})
    {
        AddBall(carrier);
        const sf::Vector2f centre = Slot(carrier)->PositionAt(0.5f, 0.5f);
        scene->ball->PlaceAt(centre.x, centre.y, 0.5f, 0.5f);
        Player* teammate = scene->FindNearestTeammateToBall();
        ASSERT_NE(teammate, nullptr);
        EXPECT_NE(teammate, Slot(carrier));
        EXPECT_EQ(teammate, Slot(carrier + 1)); // the next slot stands nearest, 100 pixels along
    }
}

TEST_F(QueriesTest, NearestPlayerSkipsTheAskerAndPicksTheSide)
{
    Move(3, 400.f, 100.f);
    Move(1, 430.f, 100.f);
    Move(2, 370.f, 100.f); // the same distance as slot 1: the lower slot wins
    Move(7, 400.f, 160.f);
    Move(9, 400.f, 150.f);
    EXPECT_EQ(scene->FindNearestPlayer(*Slot(3), true), Slot(1));
    EXPECT_EQ(scene->FindNearestPlayer(*Slot(3), false), Slot(9));
    EXPECT_EQ(scene->FindNearestPlayer(*Slot(9), true), Slot(7));
    EXPECT_EQ(scene->FindNearestPlayer(*Slot(9), false), Slot(3));

    Slot(3)->team = 2;
    EXPECT_EQ(scene->FindNearestPlayer(*Slot(3), true), nullptr);
    EXPECT_EQ(scene->FindNearestPlayer(*Slot(3), false), nullptr);
}

TEST_F(QueriesTest, RandomTeammateIsEveryTeammateButNeverThePasser)
{
    SeedRandom(17);
    std::set<Player*> picked;
    for (int i = 0; i < 400; ++i)
    {
        Player* teammate = scene->PickRandomTeammate(*Slot(7));
        ASSERT_NE(teammate, Slot(7));
        picked.insert(teammate);
    }
    EXPECT_EQ(picked, (std::set<Player*>{Slot(5), Slot(6), Slot(8), Slot(9)}));

    Slot(7)->team = 3;
    EXPECT_EQ(scene->PickRandomTeammate(*Slot(7)), nullptr);
}

} // namespace tryzone
