#include "core/Random.h"
#include "support/Display.h"
#include "support/TestMatch.h"

#include <algorithm>
#include <gtest/gtest.h>

namespace tryzone
{

namespace
{
class ScoringTest : public MatchWorld
{
protected:
    void SetUp() override
    {
        MatchWorld::SetUp();
        SeedRandom(8);
        BuildKickOff(7);
    }

    void PutBallAt(float x) { scene->ball->PlaceAt(x, 360.f, 0.5f, 0.5f); }

    void ExpectKickOffFormation() const
    {
        for (std::size_t k = 0; k < 5; ++k)
        {
            const sf::Vector2f spot = scene->formation[k];
            for (const auto& [slot, centre] :
                 {std::pair{k, spot}, std::pair{5 + k, sf::Vector2f(1280.f - spot.x, spot.y)}})
            {
                const Player* player = Slot(slot);
                EXPECT_EQ(player->PositionAt(0.5f, 0.5f), centre) << slot;
                EXPECT_FALSE(player->target.active) << slot;
                EXPECT_EQ(player->direction, sf::Vector2f(0.f, 0.f)) << slot;
                EXPECT_EQ(player->boostTimer, player->boostDuration) << slot;
            }
        }
    }
};
} // namespace

TEST_F(ScoringTest, TheLeftTryLineScoresForRedAndBlueReceives)
{
    Slot(3)->MoveTowards(700, 700, 300.f);
    Slot(3)->boostTimer = 0.2f;
    PutBallAt(127.9f);
    scene->Update();
    EXPECT_EQ(scene->redScore, 1);
    EXPECT_EQ(scene->blueScore, 0);
    EXPECT_FALSE(scene->tryPending);
    ExpectKickOffFormation();

    ASSERT_EQ(scene->ballCarrier->team, 0);
    EXPECT_EQ(scene->ball->holder, scene->ballCarrier);
    const auto k = static_cast<std::size_t>(
        std::find(scene->players.begin(), scene->players.end(), scene->ballCarrier) - scene->players.begin());
    EXPECT_EQ(scene->ball->PositionAt(0.5f, 0.5f), scene->formation[k]); // on the spot itself, not a rounding of it
}

TEST_F(ScoringTest, TheRightTryLineScoresForBlueAndRedReceives)
{
    PutBallAt(1152.1f);
    scene->Update();
    EXPECT_EQ(scene->blueScore, 1);
    ASSERT_EQ(scene->ballCarrier->team, 1);
    ExpectKickOffFormation();
}

TEST_F(ScoringTest, TheLinesThemselvesScoreNothing)
{
    for (const float x : {128.f, 1152.f, 640.f})
    {
        PutBallAt(x);
        scene->Update();
    }
    EXPECT_EQ(scene->redScore, 0);
    EXPECT_EQ(scene->blueScore, 0);
    EXPECT_EQ(scene->ballCarrier, Slot(7));
}

TEST_F(ScoringTest, OnlyOneTryWhileOneIsPending)
{
    scene->tryPending = true;
    PutBallAt(50.f);
    scene->Update();
    EXPECT_EQ(scene->redScore, 0);
    scene->ResetKickOff(false); // nothing pending would make this a no-op; here it restarts play
    EXPECT_FALSE(scene->tryPending);
    scene->ResetKickOff(true);
    EXPECT_EQ(scene->ballCarrier->team, 0); // the second call found nothing pending
}

TEST_F(ScoringTest, ABlueCarrierRunningIntoHisOwnInGoalScoresForRed)
{
    scene->ballCarrier = scene->ball->holder = Slot(2);
    Slot(2)->stateGraph.current = -1; // he runs where he is sent
    Slot(2)->PlaceAt(140.f, 360.f, 0.5f, 0.5f);
    Slot(2)->MoveTowards(0, 360, 300.f);
    Step(); // joining
    for (int frame = 0; frame < 100 && scene->redScore == 0; ++frame)
    {
        Step();
    }
    EXPECT_EQ(scene->redScore, 1);
    EXPECT_EQ(scene->blueScore, 0);
    EXPECT_EQ(scene->ballCarrier->team, 0); // blue, having conceded, receives
}

TEST_F(ScoringTest, AfterATryTheScoreShowsFromTheNextFrame)
{
    DebugOverlay::SetEnabled(true);
    DebugOverlay& overlay = DebugOverlay::Instance();
    Step(); // joining
    overlay.Clear();
    PutBallAt(100.f);
    scene->Update();
    ASSERT_EQ(overlay.foregroundTexts.size(), 2u);
    const auto text = [&overlay](std::size_t i)
    { return overlay.TextOf(overlay.foregroundTexts[i], DebugLayer::Foreground); };
    EXPECT_EQ(text(0), "Score Rouge : 0");
    EXPECT_EQ(overlay.foregroundTexts[0].x, 1050.f);
    EXPECT_EQ(overlay.foregroundTexts[0].y, 10.f);
    EXPECT_EQ(text(1), "Score Bleu : 0");
    EXPECT_EQ(overlay.foregroundTexts[1].x, 20.f);
    EXPECT_EQ(overlay.foregroundTexts[1].x2, 0.f);
    EXPECT_EQ(overlay.foregroundTexts[1].color, ToPicture(sf::Color::Red));

    overlay.Clear();
    scene->Update();
    EXPECT_EQ(text(0), "Score Rouge : 1");

    // The pitch: field of play, two in-goal areas, two try lines over the seams.
    ASSERT_EQ(overlay.backgroundRectangles.size(), 5u);
    const PictureShape& field = overlay.backgroundRectangles[0];
    EXPECT_EQ(sf::Vector2f(field.x, field.y), sf::Vector2f(128.f, 0.f));
    EXPECT_EQ(sf::Vector2f(field.x2, field.y2), sf::Vector2f(1024.f, 720.f));
    EXPECT_EQ(field.color, (PictureColor{112, 189, 26, 255}));
    EXPECT_EQ(overlay.backgroundRectangles[2].x, 1152.f);
    EXPECT_EQ(overlay.backgroundRectangles[2].color, (PictureColor{90, 151, 21, 255}));
    EXPECT_FLOAT_EQ(overlay.backgroundRectangles[3].x, 124.8f);
    EXPECT_FLOAT_EQ(overlay.backgroundRectangles[3].x2, 6.4f);
    EXPECT_EQ(overlay.backgroundRectangles[4].color, (PictureColor{255, 255, 255, 200}));
}

TEST_F(ScoringTest, DebugModeAddsLanesSelectionsAndTheLineToTheNearestTeammate)
{
    DebugOverlay::SetEnabled(true);
    DebugOverlay& overlay = DebugOverlay::Instance();
    Step();
    overlay.Clear();
    scene->Update();
    EXPECT_TRUE(overlay.foregroundLines.empty());
    EXPECT_TRUE(overlay.foregroundCircles.empty());

    scene->debugMode = true;
    scene->selectedPlayer = Slot(1);
    scene->selectedReceiver = Slot(8);
    // The carrier in his team's lowest slot: the line still runs to a teammate.
    scene->ballCarrier = scene->ball->holder = Slot(5);
    scene->ball->PlaceAt(1088.f, 72.f, 0.5f, 0.5f);
    overlay.Clear();
    scene->Update();
    ASSERT_EQ(overlay.foregroundLines.size(), 4u);
    for (int i = 0; i < 3; ++i)
    {
        const PictureShape& lane = overlay.foregroundLines[i];
        EXPECT_EQ(sf::Vector2f(lane.x, lane.y), sf::Vector2f(0.f, 240.f * static_cast<float>(i)));
        EXPECT_EQ(sf::Vector2f(lane.x2, lane.y2), sf::Vector2f(1280.f, 240.f * static_cast<float>(i)));
        EXPECT_EQ(lane.color, ToPicture(sf::Color::Magenta));
    }
    const PictureShape& toTeammate = overlay.foregroundLines[3];
    EXPECT_EQ(sf::Vector2f(toTeammate.x, toTeammate.y), Slot(5)->PositionAt(0.5f, 0.5f));
    EXPECT_EQ(sf::Vector2f(toTeammate.x2, toTeammate.y2), Slot(6)->PositionAt(0.5f, 0.5f));
    EXPECT_EQ(toTeammate.color, ToPicture(sf::Color::Green)); // slot 6 stands nearer x = 0 than the carrier

    ASSERT_EQ(overlay.foregroundCircles.size(), 2u);
    EXPECT_EQ(overlay.foregroundCircles[0].x2, 10.f);
    EXPECT_EQ(overlay.foregroundCircles[0].color, ToPicture(sf::Color::Magenta));
    EXPECT_EQ(overlay.foregroundCircles[1].x2, 5.f);
    EXPECT_EQ(overlay.foregroundCircles[1].color, ToPicture(sf::Color::Black));
}

} // namespace tryzone
