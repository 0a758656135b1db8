#include "core/Random.h"
#include "support/Display.h"
#include "support/TestMatch.h"

#include <gtest/gtest.h>

namespace tryzone
{

namespace
{
class PlayerTest : public MatchWorld
{
protected:
    // A player whose graph is not running, so that Tick shows only the lane clamp and the timers.
    Player* StillPlayer(std::uint8_t lane, sf::Vector2f centre)
    {
        Player* player = AddPlayer(0, {.centre = centre, .lane = lane});
        player->stateGraph.current = -1;
        return player;
    }
};
} // namespace

TEST_F(PlayerTest, ANewPlayerStandsIdle)
{
    Player* player = AddPlayer(0, {.centre = {100.f, 100.f}});
    EXPECT_EQ(player->stateGraph.current, Idle);
    EXPECT_EQ(player->direction, sf::Vector2f(0.f, 0.f));
    EXPECT_FALSE(player->target.active);
    EXPECT_EQ(player->tag, 1);
    EXPECT_EQ(player->scene, scene);
}

TEST_F(PlayerTest, AboutAQuarterOfPlayersDefendTheOtherWay)
{
    SeedRandom(5);
    int variants = 0;
    for (int i = 0; i < 400; ++i)
    {
        variants += scene->Spawn<Player>(25.f, sf::Color::Red)->defendVariant ? 1 : 0;
    }
    EXPECT_GT(variants, 60);
    EXPECT_LT(variants, 140);
}

TEST_F(PlayerTest, SetupGivesTheLaneBoundsAndTheSpeeds)
{
    const float bounds[3][2] = {{0.f, 240.f}, {240.f, 480.f}, {480.f, 720.f}};
    for (std::uint8_t lane = 0; lane < 3; ++lane)
    {
        Player* player = AddPlayer(lane, {.centre = {100.f, 100.f}, .lane = lane, .speed = 250.f});
        EXPECT_EQ(player->laneTop, bounds[lane][0]) << int(lane);
        EXPECT_EQ(player->laneBottom, bounds[lane][1]) << int(lane);
        EXPECT_EQ(player->baseSpeed, 250.f);
        EXPECT_EQ(player->runSpeed, 250.f);
    }
}

TEST_F(PlayerTest, TheLaneClampKeepsXAndTheHorizontalDirection)
{
    Player* player = StillPlayer(1, {300.f, 200.f});
    player->speed = 0.f;
    player->direction = {0.6f, -0.8f};
    player->Tick();
    EXPECT_EQ(player->PositionAt(0.5f, 0.5f), sf::Vector2f(300.f, 240.f));
    EXPECT_EQ(player->direction, sf::Vector2f(0.6f, 0.f));

    player->PlaceAt(310.f, 500.f, 0.5f, 0.5f);
    player->direction = {-0.6f, 0.8f};
    player->Tick();
    EXPECT_EQ(player->PositionAt(0.5f, 0.5f), sf::Vector2f(310.f, 480.f));
    EXPECT_EQ(player->direction, sf::Vector2f(-0.6f, 0.f));

    // Inside the lane, edges included, nothing changes.
    player->PlaceAt(320.f, 480.f, 0.5f, 0.5f);
    player->direction = {0.f, 1.f};
    player->Tick();
    EXPECT_EQ(player->direction, sf::Vector2f(0.f, 1.f));
}

TEST_F(PlayerTest, ThePassTimerStopsAtItsFirstValueAtLeastTheCooldown)
{
    Player* player = StillPlayer(0, {100.f, 100.f});
    player->passCooldown = 2.f;
    float expected = 0.f;
    while (2.f > expected)
    {
        expected += kMaxFrameTime;
    }
    for (int frame = 0; frame < 400; ++frame)
    {
        player->Tick();
    }
    EXPECT_EQ(player->passTimer, expected);
    EXPECT_GE(player->passTimer, 2.f);
    EXPECT_LT(player->passTimer, 2.f + kMaxFrameTime);
}

TEST_F(PlayerTest, ABoostLastsItsDurationAndNeedsTheLastOneToBeOver)
{
    Player* player = StillPlayer(0, {100.f, 100.f});
    player->boostTimer = 0.5f;
    player->Boost();
    EXPECT_EQ(player->runSpeed, 300.f);
    EXPECT_EQ(player->boostTimer, 0.5f);

    player->boostTimer = 1.f;
    player->Boost();
    EXPECT_FLOAT_EQ(player->runSpeed, 390.f);
    EXPECT_EQ(player->boostTimer, 0.f);

    int frames = 0;
    while (player->runSpeed != player->baseSpeed && frames < 1000)
    {
        player->Tick();
        ++frames;
    }
    // One second of frame time, to within a frame.
    EXPECT_NEAR(frames * kMaxFrameTime, 1.f, kMaxFrameTime);
}

TEST_F(PlayerTest, TheFirstTickSendsEveryoneToTheirRole)
{
    BuildKickOff(7);
    Step(2); // the first update only lets the entities join
    for (std::size_t slot = 0; slot < 5; ++slot)
    {
        EXPECT_EQ(Slot(slot)->stateGraph.current, Defend) << slot;
    }
    for (std::size_t slot = 5; slot < 10; ++slot)
    {
        EXPECT_EQ(Slot(slot)->stateGraph.current, slot == 7 ? Attack : Support) << slot;
    }
}

TEST_F(PlayerTest, InDebugModeTheCarrierIsLeftToTheUser)
{
    BuildKickOff(7);
    scene->debugMode = true;
    Step(2);
    EXPECT_EQ(Slot(7)->stateGraph.current, Idle);
    EXPECT_EQ(Slot(6)->stateGraph.current, Support);
    EXPECT_EQ(Slot(0)->stateGraph.current, Defend);
    scene->debugMode = false;
    Step();
    EXPECT_EQ(Slot(7)->stateGraph.current, Attack);
}

TEST(PlayerStateName, NamesTheFiveStatesAndNothingElse)
{
    EXPECT_STREQ(PlayerStateName(Idle), "Idle");
    EXPECT_STREQ(PlayerStateName(Support), "Support");
    EXPECT_STREQ(PlayerStateName(Defend), "Defend");
    EXPECT_STREQ(PlayerStateName(Attack), "Attack");
    EXPECT_STREQ(PlayerStateName(Pass), "Pass");
    EXPECT_STREQ(PlayerStateName(-1), "Unknown");
    EXPECT_STREQ(PlayerStateName(5), "Unknown");
}

TEST_F(PlayerTest, InDebugModeEveryPlayerDrawsItsFourMarks)
{
    DebugOverlay::SetEnabled(true);
    BuildKickOff(7);
    Step(); // joining draws nothing yet
    scene->debugMode = true;
    DebugOverlay& overlay = DebugOverlay::Instance();
    overlay.Clear();
    Step();
    // The scene's two score texts come first: it updates before the players.
    ASSERT_EQ(overlay.foregroundTexts.size(), 2u + 20u);
    ASSERT_EQ(overlay.foregroundCircles.size(), 20u);

    // Slot 7, the carrier, drew its state (still Idle: the user steers him) and its number.
    const PictureShape& state = overlay.foregroundTexts[2 + 14];
    const PictureShape& number = overlay.foregroundTexts[2 + 15];
    EXPECT_EQ(overlay.TextOf(state, DebugLayer::Foreground), "Idle");
    EXPECT_EQ(state.color, ToPicture(sf::Color::Red));
    const sf::Vector2f centre = Slot(7)->PositionAt(0.5f, 0.5f);
    EXPECT_EQ(sf::Vector2f(state.x, state.y), sf::Vector2f(centre.x, centre.y - 50.f));
    EXPECT_EQ(sf::Vector2f(state.x2, state.y2), sf::Vector2f(0.5f, 0.5f));
    EXPECT_EQ(overlay.TextOf(number, DebugLayer::Foreground), "7");
    EXPECT_EQ(number.color, ToPicture(sf::Color::White));
    EXPECT_EQ(sf::Vector2f(number.x, number.y), Slot(7)->PositionAt(0.45f, 0.4f));

    const PictureShape& marker = overlay.foregroundCircles[14];
    const PictureShape& reach = overlay.foregroundCircles[15];
    EXPECT_EQ(marker.x2, 100.f);
    EXPECT_EQ(marker.outline, ToPicture(sf::Color::Black));
    EXPECT_EQ(reach.x2, 75.f);
    EXPECT_EQ(reach.outline, ToPicture(sf::Color::Red));
    EXPECT_EQ(reach.thickness, 2.f);
    EXPECT_EQ(reach.color, ToPicture(sf::Color::Transparent));
}

} // namespace tryzone
