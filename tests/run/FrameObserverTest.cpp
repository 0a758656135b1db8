#include "run/FrameObserver.h"

#include "experiments/Simulation.h"
#include "core/StepObserver.h"
#include "match/RugbyScene.h"
#include "run/MatchRecorder.h"
#include "run/MatchRules.h"
#include "run/MatchRunner.h"
#include "run/MatchTimeline.h"
#include "support/HeadlessWorld.h"
#include "support/MatchPicture.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>
#include <sstream>

namespace tryzone
{

namespace
{
// Writes down every frame it hears of, and ends the match after frame stopAt.
struct Probe : public FrameObserver, public StepObserver
{
    void BeforeFrame(MatchRunner& /*runner*/, std::int64_t frame) override { before.push_back(frame); }
    bool AfterFrame(const RugbyScene& scene, std::int64_t frame) override
    {
        after.push_back(frame);
        if (scene.blueScore + scene.redScore != scores)
        {
            scores = scene.blueScore + scene.redScore;
            tries.push_back(frame);
        }
        return frame != stopAt;
    }
    void AfterSceneUpdate() override { ++sceneUpdates; }

    std::vector<std::int64_t> before;
    std::vector<std::int64_t> after;
    std::vector<std::int64_t> tries; // the frames after which the scores had risen
    std::int64_t stopAt = -1;
    int scores = 0;
    int sceneUpdates = 0;
};

void Play(MatchRunner& runner, std::int64_t frames)
{
    for (std::int64_t i = 0; i < frames; ++i)
    {
        runner.Step(kMaxFrameTime);
    }
}

using Frames = std::vector<std::int64_t>;

class FrameObserverTest : public HeadlessWorld
{
};
} // namespace

// Given before the first Start, an observer and its step part hear every frame of every match the runner plays;
// the world's step observer is the runner's only while its match is there.
TEST_F(FrameObserverTest, AnObserverGivenBeforeStartHearsEveryFrameOfEveryMatch)
{
    Probe probe;
    MatchRunner runner;
    runner.Watch(probe);
    runner.WatchSteps(&probe);
    runner.Start(Defaults(), 1, nullptr);
    Play(runner, 3);
    runner.Start(Defaults(), 2, nullptr);
    Play(runner, 2);
    EXPECT_EQ(probe.before, (Frames{1, 2, 3, 1, 2}));
    EXPECT_EQ(probe.after, probe.before);
    EXPECT_EQ(probe.sceneUpdates, 5);

    MatchRunner other;
    other.Start(Defaults(), 3, nullptr);
    EXPECT_EQ(host.stepObserver, nullptr);
    runner.Start(Defaults(), 4, nullptr);
    EXPECT_EQ(host.stepObserver, &probe);
    runner.End();
    EXPECT_EQ(host.stepObserver, nullptr);
}

// An observer that ends the match is the last to hear of its frame; the runner then plays nothing more until a
// snapshot is restored.
TEST_F(FrameObserverTest, AnObserverThatEndsTheMatchIsTheLastToHearOfItsFrame)
{
    Probe first;
    Probe second;
    first.stopAt = 2;
    MatchRunner runner;
    runner.Watch(first);
    runner.Watch(second);
    runner.Watch(first);
    runner.Start(Defaults(), 1, nullptr);
    Play(runner, 1);
    const MatchSnapshot afterOne = runner.Capture();
    Play(runner, 3);
    EXPECT_TRUE(runner.Stopped());
    EXPECT_EQ(runner.Frame(), 2);
    EXPECT_EQ(first.after, (Frames{1, 2}));
    EXPECT_EQ(second.after, (Frames{1}));

    runner.Restore(afterOne);
    runner.Unwatch(first);
    Play(runner, 2);
    EXPECT_FALSE(runner.Stopped());
    EXPECT_EQ(first.after, (Frames{1, 2}));
    EXPECT_EQ(second.after, (Frames{1, 2, 3}));
}

// The recorder's lines carry the frames the runner tells its observers, and its possession covers every frame.
TEST_F(FrameObserverTest, TheRecordersEventFramesAreTheFramesItsObserversHear)
{
    std::ostringstream lines;
    MatchRecorder recorder(1, &lines);
    Probe probe;
    MatchRunner runner;
    runner.Watch(recorder);
    runner.Watch(probe);
    runner.Start(Defaults(), 5, &recorder);
    Play(runner, 20000);

    Frames tries;
    std::istringstream in(lines.str());
    for (std::string line; std::getline(in, line);)
    {
        const auto event = nlohmann::json::parse(line);
        if (event["event"] == "try")
        {
            tries.push_back(event["frame"].get<std::int64_t>());
        }
    }
    ASSERT_GE(tries.size(), 2u);
    EXPECT_EQ(tries, probe.tries);
    EXPECT_EQ(recorder.result.frames, 20000);
    EXPECT_EQ(recorder.result.teams[0].possessionFrames + recorder.result.teams[1].possessionFrames, 20000);
}

// The window's timeline and the simulator count possession with the same recorder: the same match, the same counts.
TEST_F(FrameObserverTest, TheTimelineAndTheSimulatorCountTheSamePossession)
{
    SimulationPlan plan;
    plan.run.lineup = Defaults();
    plan.run.seed = 11;
    plan.run.framesPerMatch = 3000;
    const std::vector<MatchResult> simulated = Simulate(plan);
    ASSERT_EQ(simulated.size(), 1u);

    MatchTimeline timeline(MatchSeed(plan.run.seed, 1), Defaults(), nullptr);
    while (timeline.Frame() < plan.run.framesPerMatch)
    {
        timeline.Advance(kMaxFrameTime);
    }
    const MatchResult& shown = timeline.Result();
    EXPECT_EQ(shown.frames, simulated[0].frames);
    EXPECT_EQ(shown.teams[0].possessionFrames, simulated[0].teams[0].possessionFrames);
    EXPECT_EQ(shown.teams[1].possessionFrames, simulated[0].teams[1].possessionFrames);
    EXPECT_EQ(shown.teams[0].possessionFrames + shown.teams[1].possessionFrames, plan.run.framesPerMatch);
}

// GCC 12.2 at -O3 -flto inlines a call through the this-adjusting thunk of a second base's BeforeFrame with its
// arguments shifted (tools/gcc-thunk): every observer with two bases keeps FrameObserver first, at its own address.
TEST_F(FrameObserverTest, FrameObserverIsTheFirstBaseOfEveryObserverWithTwo)
{
    const auto offset = [](const auto& observer)
    {
        const void* base = static_cast<const FrameObserver*>(&observer);
        return static_cast<const char*>(base) - reinterpret_cast<const char*>(&observer);
    };
    MatchRunner runner;
    const MatchRecorder recorder(1, nullptr);
    const MatchRules rules(runner.Start(Defaults(), 1, nullptr));
    EXPECT_EQ(offset(recorder), 0);
    EXPECT_EQ(offset(rules), 0);
}

} // namespace tryzone
