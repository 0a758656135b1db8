#include "run/MatchRecorder.h"
#include "run/MatchRules.h"
#include "support/TestMatch.h"

#include <gtest/gtest.h>
#include <sstream>

namespace tryzone
{

namespace
{
// Ten players along the bottom lane, slot s at x = 100 + 100 s; the match plays under the laws the test gives.
class LawsPlay : public MatchWorld
{
protected:
    void SetUp() override
    {
        MatchWorld::SetUp();
        SpreadAlongTheBottomLane(600.f);
        recorder.result.match = 1;
        scene->observer = &recorder;
    }

    void Carrier(std::size_t slot)
    {
        ball = AddBall(slot);
        ball->holder = scene->ballCarrier;
    }

    [[nodiscard]] bool AllOnTheirKickOffSpots() const
    {
        const float width = static_cast<float>(scene->WindowWidth());
        for (std::size_t k = 0; k < 5; ++k)
        {
            if (Slot(k)->PositionAt(0.5f, 0.5f) != scene->formation[k] ||
                Slot(5 + k)->PositionAt(0.5f, 0.5f) != MirroredSpot(scene->formation[k], width))
            {
                return false;
            }
        }
        return true;
    }

    [[nodiscard]] int Count(const std::string& kind) const
    {
        int count = 0;
        for (std::size_t at = log.str().find("\"event\":\"" + kind + "\""); at != std::string::npos;
             at = log.str().find("\"event\":\"" + kind + "\"", at + 1))
        {
            ++count;
        }
        return count;
    }

    Laws laws;
    std::ostringstream log;
    MatchRecorder recorder{1, &log};
    Ball* ball = nullptr;
};

bool IsBlue(const Player* player)
{
    return player != nullptr && player->team == 0;
}
} // namespace

// Blue attacks towards x = W, red towards 0: a pass is forward in the direction the passer's team attacks. Under
// the law the pass is not completed and the other side restarts from the kick-off formation, with no score; a pass
// level within the tolerance, or backwards, completes; under the game's laws every pass completes.
TEST_F(LawsPlay, AForwardPassIsRefusedAndTheOpponentsRestart)
{
    Carrier(2);
    ball->PassTo(Slot(2), Slot(3)); // game's laws: 100 pixels forward, completed
    EXPECT_EQ(scene->ballCarrier, Slot(3));

    laws.forwardPass = true;
    laws.forwardPassTolerance = 4.f;
    scene->laws = &laws;
    ball->PassTo(Slot(3), Slot(4));
    EXPECT_FALSE(IsBlue(scene->ballCarrier)) << "red restarts after blue's forward pass";
    EXPECT_EQ(ball->holder, scene->ballCarrier);
    EXPECT_TRUE(AllOnTheirKickOffSpots());
    EXPECT_EQ(scene->blueScore + scene->redScore, 0);
    EXPECT_FALSE(scene->tryPending);
    EXPECT_EQ(Count("forward_pass"), 1);
    EXPECT_EQ(Count("kickoff"), 1);
    EXPECT_EQ(recorder.result.teams[0].forwardPasses, 1);
    EXPECT_EQ(recorder.result.teams[0].passes, 1);

    // Red passes towards x = 0: to a teammate at a smaller x is forward, level within the tolerance is not.
    Player* redCarrier = scene->ballCarrier;
    Player* level = redCarrier == Slot(5) ? Slot(6) : Slot(5);
    level->PlaceAt(redCarrier->PositionAt(0.5f, 0.5f).x - 4.f, 600.f, 0.5f, 0.5f); // exactly the tolerance
    ball->PassTo(redCarrier, level);
    EXPECT_EQ(scene->ballCarrier, level);
    Player* ahead = level == Slot(9) ? Slot(8) : Slot(9);
    ahead->PlaceAt(level->PositionAt(0.5f, 0.5f).x - 50.f, 600.f, 0.5f, 0.5f);
    ball->PassTo(level, ahead);
    EXPECT_TRUE(IsBlue(scene->ballCarrier)) << "blue restarts after red's forward pass";
    EXPECT_EQ(recorder.result.teams[1].forwardPasses, 1);
}

// The ball carried over one's own try line: a try for the other side under the game's laws, their restart under
// the law; carried over the opponents' line it is a try under both.
TEST_F(LawsPlay, ACarryOverTheOwnTryLineGivesTheOpponentsARestart)
{
    Carrier(0);
    laws.ownTryLineRestart = true;
    scene->laws = &laws;
    Slot(0)->PlaceAt(100.f, 600.f, 0.5f, 0.5f); // blue's own in-goal
    ball->Tick();
    scene->Update();
    EXPECT_EQ(scene->blueScore + scene->redScore, 0);
    EXPECT_FALSE(IsBlue(scene->ballCarrier));
    EXPECT_TRUE(AllOnTheirKickOffSpots());
    EXPECT_EQ(Count("restart"), 1);
    EXPECT_EQ(recorder.result.teams[0].restarts, 1);

    Player* red = scene->ballCarrier;
    red->PlaceAt(100.f, 600.f, 0.5f, 0.5f); // red over blue's line: a try
    ball->Tick();
    scene->Update();
    EXPECT_EQ(scene->redScore, 1);

    scene->laws = &GameLaws();
    Player* blue = scene->ballCarrier;
    blue->PlaceAt(100.f, 600.f, 0.5f, 0.5f);
    ball->Tick();
    scene->Update();
    EXPECT_EQ(scene->redScore, 2) << "the game's laws: a try whoever carries it";
    EXPECT_EQ(Count("restart"), 1);
}

// A built-in player sent beyond the pitch's end stops on the dead-ball line under the law, every frame, and crosses
// it under the game's laws (the evasive target of a defender can lie at negative x).
TEST_F(LawsPlay, APlayerStopsAtTheDeadBallLine)
{
    Carrier(0);
    scene->debugMode = true; // the carrier keeps the course he is given
    laws.deadBallLines = true;
    scene->laws = &laws;
    Slot(0)->PlaceAt(20.f, 600.f, 0.5f, 0.5f);
    Slot(0)->MoveTowards(-150, 600, 300.f);
    for (int frame = 0; frame < 60; ++frame)
    {
        Slot(0)->Update();
        ASSERT_GE(Slot(0)->PositionAt(0.5f, 0.5f).x, -1e-3f) << frame;
    }
    EXPECT_NEAR(Slot(0)->PositionAt(0.5f, 0.5f).x, 0.f, 1e-3f);

    scene->laws = &GameLaws();
    Slot(0)->MoveTowards(-150, 600, 300.f);
    for (int frame = 0; frame < 60; ++frame)
    {
        Slot(0)->Update();
    }
    EXPECT_LT(Slot(0)->PositionAt(0.5f, 0.5f).x, -100.f);
}

// An outside brain's MOVE far off the pitch takes the player to its edge and holds him there, under any laws.
TEST_F(LawsPlay, AMoveFarOffThePitchIsHeldAtItsEdge)
{
    Carrier(5);
    const float width = static_cast<float>(scene->WindowWidth());
    Slot(8)->order = {OrderKind::Move, 100000, 600};
    Slot(1)->order = {OrderKind::Move, -100000, 600};
    Slot(9)->order = {OrderKind::Move, 100000, -100000}; // towards (W, 0), the nearest point of the pitch
    for (int frame = 0; frame < 600; ++frame)
    {
        for (const std::size_t slot : {8, 1, 9})
        {
            Slot(slot)->Update();
            const float x = Slot(slot)->PositionAt(0.5f, 0.5f).x;
            ASSERT_TRUE(x >= -1e-3f && x <= width + 1e-3f) << "slot " << slot << ", frame " << frame << ": " << x;
        }
    }
    EXPECT_NEAR(Slot(8)->PositionAt(0.5f, 0.5f).x, width, 1e-3f);
    EXPECT_NEAR(Slot(1)->PositionAt(0.5f, 0.5f).x, 0.f, 1e-3f);
    EXPECT_FLOAT_EQ(Slot(9)->PositionAt(0.5f, 0.5f).y, Slot(9)->laneTop) << "the lane still holds y";
    EXPECT_GT(Slot(9)->PositionAt(0.5f, 0.5f).x, 1100.f);
}

// An ordered pass follows the Pass state's rule: the cooldown and the wait must both be over, and each waits.
TEST_F(LawsPlay, AnOrderedPassWaitsAsThePassStateDoes)
{
    Carrier(2);
    Player& carrier = *Slot(2);
    carrier.luckMultiplier = 2.f; // a pass that is tried succeeds
    carrier.passTimer = carrier.passCooldown;
    carrier.passWaitTimer = 0.f;
    carrier.order = {OrderKind::Pass, 1, 0};
    carrier.Tick();
    EXPECT_EQ(scene->ballCarrier, &carrier) << "the wait in Pass is not over";
    EXPECT_GT(carrier.passWaitTimer, 0.f);
    EXPECT_EQ(recorder.result.teams[0].passAttempts, 0);
    carrier.passWaitTimer = carrier.passTime;
    carrier.Tick();
    EXPECT_EQ(scene->ballCarrier, Slot(1));
    EXPECT_EQ(carrier.passWaitTimer, 0.f);
    EXPECT_LT(carrier.passTimer, 0.01f) << "restarted, then one frame of cooldown";
}

} // namespace tryzone

namespace tryzone
{

// --check checks the laws in force: a player beyond a dead-ball line and a pass completed forward are breaches under
// the laws, and nothing under the game's own.
TEST_F(LawsPlay, TheRulesCheckTheLawsInForce)
{
    Carrier(2);
    laws.forwardPass = true;
    laws.deadBallLines = true;
    const auto breaks = [this](const Laws& inForce, auto&& fault)
    {
        scene->laws = &inForce;
        MatchRules rules(*scene);
        rules.AfterSceneUpdate();
        fault();
        for (std::size_t slot = 0; slot < 10; ++slot)
        {
            rules.AfterEntityUpdate(*Slot(slot));
        }
        return rules.Breach().has_value();
    };
    const auto beyond = [this] { Slot(6)->PlaceAt(1290.f, 600.f, 0.5f, 0.5f); };
    const auto forward = [this]
    {
        ball->holder = Slot(4); // 200 pixels ahead of the blue carrier
        scene->ballCarrier = Slot(4);
    };
    EXPECT_TRUE(breaks(laws, beyond));
    EXPECT_FALSE(breaks(GameLaws(), beyond));
    Slot(6)->PlaceAt(700.f, 600.f, 0.5f, 0.5f);
    EXPECT_FALSE(breaks(laws, [] {}));
    EXPECT_TRUE(breaks(laws, forward));
    ball->holder = Slot(2);
    scene->ballCarrier = Slot(2);
    EXPECT_FALSE(breaks(GameLaws(), forward));
}

} // namespace tryzone
