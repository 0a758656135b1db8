// Long play with the match's rules checked after every frame. CI plays an hour of the plain build and a quarter of
// one sanitized (scripts/test); TRYZONE_SOAK_MINUTES sets another length, and `tryzone-sim --check` plays as long
// as asked outside the tests.
#include "experiments/Simulation.h"
#include "behaviour/Ball.h"
#include "behaviour/Player.h"
#include "core/GameHost.h"
#include "core/Random.h"
#include "match/RugbyScene.h"
#include "run/MatchRules.h"
#include "support/Files.h"
#include "support/HeadlessWorld.h"

#include <cmath>
#include <cstdlib>
#include <functional>
#include <gtest/gtest.h>
#include <limits>
#include <string>

namespace tryzone
{

namespace
{
double SoakMinutes()
{
    const char* minutes = std::getenv("TRYZONE_SOAK_MINUTES");
    return minutes != nullptr ? std::atof(minutes) : 60.0;
}

RugbyScene& CurrentMatch()
{
    return *dynamic_cast<RugbyScene*>(GameHost::Instance().CurrentScene());
}
} // namespace

class Soak : public HeadlessWorld
{
};

// The game's own set-up, reading the settings file from the working directory as the game does.
TEST_F(Soak, TheGamesMatchKeepsEveryRuleForAnHour)
{
    WorkingInTemporaryFolder folder;
    SeedRandom(30);
    testing::internal::CaptureStdout();
    testing::internal::CaptureStderr();
    host.LaunchScene<RugbyScene>();
    testing::internal::GetCapturedStdout();
    testing::internal::GetCapturedStderr();
    const RugbyScene& scene = CurrentMatch();
    MatchRules rules(scene);
    host.stepObserver = &rules;

    const std::int64_t frames = FramesFor(SoakMinutes());
    for (std::int64_t frame = 1; frame <= frames && !rules.Breach(); ++frame)
    {
        host.Update();
        (void)rules.AfterFrame(scene, frame);
    }

    ASSERT_FALSE(rules.Breach()) << "frame " << rules.Breach()->frame << ": " << rules.Breach()->rule;
    EXPECT_GT(scene.redScore, 0);
    EXPECT_GT(scene.blueScore, 0);
}

// Several matches through the simulator, each in a fresh world with its own seed.
TEST_F(Soak, SimulatedMatchesKeepEveryRule)
{
    SimulationPlan plan;
    const auto defaults = DefaultPlayers();
    plan.run.lineup.assign(defaults.begin(), defaults.end());
    plan.run.seed = 7;
    plan.run.matches = 4;
    plan.run.framesPerMatch = FramesFor(SoakMinutes() / 4.0);
    plan.run.checkRules = true;

    const std::vector<MatchResult> results = Simulate(plan);

    ASSERT_EQ(results.size(), 4u);
    for (const MatchResult& result : results)
    {
        ASSERT_FALSE(result.breach) << "match " << result.match << ", frame " << result.breach->frame << ": "
                                    << result.breach->rule;
        EXPECT_EQ(result.frames, plan.run.framesPerMatch);
    }
}

namespace
{
// A simulated match with the rules checked; a fault is injected before a chosen frame.
class MatchRulesTest : public testing::Test
{
protected:
    void SetUp() override
    {
        const auto defaults = DefaultPlayers();
        const RugbyScene& scene = runner.Start({defaults.begin(), defaults.end()}, 5, nullptr);
        rules.emplace(scene);
        runner.WatchSteps(&*rules);
        runner.Watch(*rules);
    }

    void TearDown() override { runner.End(); }

    // Plays clean frames up to `frame`, injects the fault, plays that frame; the breach, or an empty one. A breach
    // ends the runner's match at its frame.
    RuleBreach BreachAfter(std::int64_t frame, const std::function<void(RugbyScene&)>& fault)
    {
        while (runner.Frame() < frame - 1)
        {
            runner.Step(kMaxFrameTime);
        }
        EXPECT_FALSE(rules->Breach()) << rules->Breach()->rule;
        fault(CurrentMatch());
        runner.Step(kMaxFrameTime);
        runner.Step(kMaxFrameTime);
        EXPECT_EQ(runner.Stopped(), rules->Breach().has_value());
        EXPECT_EQ(runner.Frame(), rules->Breach() ? frame : frame + 1);
        return rules->Breach().value_or(RuleBreach{});
    }

    MatchRunner runner;
    std::optional<MatchRules> rules;
};

void OverTheRedTryLine(RugbyScene& scene)
{
    scene.ball->PlaceAt(10.f, 300.f, 0.5f, 0.5f);
}

constexpr float NaN = std::numeric_limits<float>::quiet_NaN();
} // namespace

TEST_F(MatchRulesTest, CleanPlayBreaksNothing)
{
    EXPECT_EQ(BreachAfter(2000, [](RugbyScene&) {}).rule, "");
}

TEST_F(MatchRulesTest, BallCarrierAndHolderThatDiffer)
{
    const RuleBreach breach = BreachAfter(
        300, [](RugbyScene& scene)
        { scene.ball->holder = scene.ballCarrier == scene.players[0] ? scene.players[1] : scene.players[0]; });
    EXPECT_EQ(breach.frame, 300);
    EXPECT_EQ(breach.rule, "the ball carrier is not the ball's holder");
}

TEST_F(MatchRulesTest, BallMovedOffItsHolderAfterItsUpdate)
{
    const RuleBreach breach = BreachAfter(40,
                                          [](RugbyScene& scene)
                                          {
                                              scene.ball->direction = {1.f, 0.f};
                                              scene.ball->speed = 100.f;
                                          });
    EXPECT_EQ(breach.frame, 40);
    EXPECT_EQ(breach.rule, "the ball is not on its holder");
}

TEST_F(MatchRulesTest, PlayerLeftOutsideHisLaneByAFaultyClamp)
{
    const RuleBreach breach =
        BreachAfter(10,
                    [](RugbyScene& scene)
                    {
                        Player& bottomLane = *scene.players[4];
                        bottomLane.laneTop = 0.f;
                        bottomLane.PlaceAt(bottomLane.PositionAt(0.5f, 0.5f).x, 100.f, 0.5f, 0.5f);
                    });
    EXPECT_EQ(breach.frame, 10);
    EXPECT_EQ(breach.rule.rfind("blue player 4 is outside his lane", 0), 0u) << breach.rule;
}

TEST_F(MatchRulesTest, ValuesThatAreNotFinite)
{
    EXPECT_EQ(BreachAfter(5, [](RugbyScene& scene) { scene.players[7]->boostTimer = NaN; }).rule,
              "red player 7 has a timer or speed that is not finite");
}

TEST_F(MatchRulesTest, PositionThatIsNotFinite)
{
    EXPECT_EQ(BreachAfter(5, [](RugbyScene& scene) { scene.players[2]->shape.setPosition(NaN, 300.f); }).rule,
              "an entity's position, direction, speed or travel is not finite");
}

TEST_F(MatchRulesTest, ScoreThatFalls)
{
    const RuleBreach breach = BreachAfter(20, [](RugbyScene& scene) { scene.redScore = -1; });
    EXPECT_EQ(breach.frame, 20);
    EXPECT_EQ(breach.rule, "a score fell");
}

TEST_F(MatchRulesTest, ScoresThatRiseByTwoInOneFrame)
{
    const RuleBreach breach = BreachAfter(20,
                                          [](RugbyScene& scene)
                                          {
                                              ++scene.blueScore;
                                              OverTheRedTryLine(scene);
                                          });
    EXPECT_EQ(breach.rule, "the scores rose by more than one in a frame");
}

TEST_F(MatchRulesTest, TryThatLeavesAPlayerOffHisSpot)
{
    // A real try: the reset puts everyone on the scene's formation, which a fault has moved.
    const RuleBreach breach = BreachAfter(20,
                                          [](RugbyScene& scene)
                                          {
                                              scene.formation[2].x += 30.f;
                                              OverTheRedTryLine(scene);
                                          });
    EXPECT_EQ(breach.frame, 20);
    EXPECT_EQ(breach.rule, "after a try, a player of pair 2 is not on his kick-off spot");
}

TEST_F(MatchRulesTest, ATryAloneBreaksNothing)
{
    const RuleBreach breach = BreachAfter(20, OverTheRedTryLine);
    EXPECT_EQ(breach.rule, "");
    EXPECT_EQ(CurrentMatch().redScore, 1);
}

} // namespace tryzone
