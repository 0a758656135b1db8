#include "behaviour/PlayerWiring.h"
#include "support/TestMatch.h"
#include "tactics/TacticCatalogue.h"
#include "tactics/TacticsFile.h"

#include <gtest/gtest.h>

namespace tryzone
{

namespace
{
// Players along the bottom lane a hundred pixels apart from x = 100; the ball with red slot 5 (x = 600).
class CatalogueEffect : public MatchWorld
{
protected:
    void SetUp() override
    {
        MatchWorld::SetUp();
        SpreadAlongTheBottomLane(700.f);
        AddBall(5);
    }

    bool Test(const char* kind, std::size_t slot) const
    {
        return MakePlayerCondition(TacticCondition{DefaultStep(kind), true})->Test(Slot(slot));
    }
};
} // namespace

// Who holds the ball, seen by the carrier, a teammate and an opponent, and by everyone while nobody holds it.
TEST_F(CatalogueEffect, BallConditionsSeparateTheCarrierHisTeamAndTheOthers)
{
    const struct
    {
        std::size_t slot;
        bool player;
        bool team;
    } seen[] = {{5, true, true}, {9, false, true}, {0, false, false}, {4, false, false}};
    for (const auto& row : seen)
    {
        EXPECT_EQ(Test("PlayerHaveBall", row.slot), row.player) << row.slot;
        EXPECT_EQ(Test("TeamHaveBall", row.slot), row.team) << row.slot;
    }
    scene->ballCarrier = nullptr;
    for (const std::size_t slot : {0u, 5u})
    {
        EXPECT_FALSE(Test("PlayerHaveBall", slot));
        EXPECT_FALSE(Test("TeamHaveBall", slot));
    }
}

// A file played as written: a blue player stands Idle while the other team has the ball, takes his link to Attack
// once his team has it (running for red's line at x = 1280) and goes back when it is lost.
TEST_F(CatalogueEffect, AFilesLinksMoveAPlayerBetweenItsStates)
{
    const TacticsRead read = ParseTactics(
        R"({"start": "Wait", "states": [
            {"name": "Wait", "action": "Idle", "links": [{"target": "Run", "conditions": [{"condition": "TeamHaveBall"}]}]},
            {"name": "Run", "action": "Attack", "links": [{"target": "Wait", "conditions": [
                {"condition": "TeamHaveBall", "expected": false}]}]}]})",
        "t.json");
    ASSERT_NE(read.tactic, nullptr) << read.error;
    Player* player = Slot(2);
    Wire(player->stateGraph, *read.tactic);
    ASSERT_EQ(player->stateGraph.current, 0);
    player->stateGraph.Update();
    EXPECT_EQ(player->stateGraph.current, 0);
    EXPECT_FALSE(player->target.active); // Idle stands still

    scene->ballCarrier = Slot(2);
    scene->ball->holder = Slot(2);
    player->stateGraph.Update();
    EXPECT_EQ(player->stateGraph.current, 1);
    player->stateGraph.Update();
    EXPECT_TRUE(player->target.active);
    EXPECT_EQ(player->target.position.x, 1280);

    scene->ballCarrier = Slot(7);
    scene->ball->holder = Slot(7);
    player->stateGraph.Update();
    EXPECT_EQ(player->stateGraph.current, 0);
    EXPECT_STREQ(read.tactic->StateName(player->stateGraph.current), "Wait");
}

} // namespace tryzone
