#include "agent/VecMatch.h"

#include "agent/Observation.h"
#include "experiments/Simulation.h"
#include "run/MatchTimeline.h"
#include "support/Files.h"

#include <array>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <regex>
#include <sstream>

namespace tryzone
{

namespace
{
std::vector<PlayerSettings> Defaults()
{
    const auto players = DefaultPlayers();
    return {players.begin(), players.end()};
}
} // namespace

// Every player controlled and left to his state graph, matches spread over threads: the simulator's log, byte for
// byte, with the same numbers and seeds, and the second episodes as its next matches.
TEST(VecMatch, AllBuiltinGivesTheSimulatorsEventLog)
{
    const auto path = std::filesystem::temp_directory_path() / "tryzone-vecmatch-events.jsonl";
    VecMatchPlan plan;
    plan.matches = 3;
    plan.controlled = {0, 1, 2, 3, 4, 5, 6, 7, 8, 9};
    plan.seed = 42;
    plan.minutes = 0.4;
    plan.decisionFrames = 3;
    plan.players = Defaults();
    plan.threads = 2;
    plan.eventsPath = path.string();
    const TemporaryFolder recordings;
    plan.recordDir = (recordings.Path() / "new").string();
    {
        auto made = VecMatch::Make(plan);
        ASSERT_TRUE(made) << made.Reason();
        VecMatch& batch = **made;
        batch.Reset();
        const std::vector<AgentAction> builtin(30);
        int ends = 0;
        while (ends < 2)
        {
            ASSERT_TRUE(batch.Step(builtin.data()));
            ends += batch.truncations[0];
            EXPECT_EQ(batch.truncations[0], batch.truncations[2]);
        }
        EXPECT_EQ(batch.numbers, (std::vector<std::int32_t>{7, 8, 9}));
    }

    std::ostringstream expected;
    SimulationPlan simulation;
    simulation.run.lineup = plan.players;
    simulation.run.seed = plan.seed;
    simulation.run.matches = 6;
    simulation.run.framesPerMatch = FramesFor(plan.minutes);
    simulation.events = &expected;
    (void)Simulate(simulation);
    EXPECT_EQ(ReadFile(path), expected.str());
    std::filesystem::remove(path);
    // Each episode's recording, written into the folder the batch made, replays to its part of the log (numbered 1).
    std::ostringstream replayed;
    for (int number = 1; number <= 6; ++number)
    {
        const auto recording = ReadRecording(plan.recordDir + "/match-" + std::to_string(number) + ".jsonl");
        ASSERT_TRUE(recording) << recording.Reason();
        (void)ReplayHeadless(*recording, &replayed);
    }
    const std::regex number(R"(\{"match":\d+,)");
    EXPECT_TRUE(std::regex_replace(replayed.str(), number, "{") == std::regex_replace(expected.str(), number, "{"));
}

// Each refusal says what is wrong and where, and nothing is played, written or left half-made.
TEST(VecMatch, BadPlansActionsAndOutputsAreRefusedWithTheirReasonBeforeAnythingIsPlayed)
{
    VecMatchPlan plan;
    plan.players = Defaults();
    const auto refusal = [&plan]
    {
        auto made = VecMatch::Make(plan);
        return made ? std::string() : made.Reason();
    };
    plan.controlled = {3, 3};
    EXPECT_EQ(refusal(), "controlled slot 3 given twice");
    plan.controlled = {10};
    EXPECT_EQ(refusal(), "controlled slot 10 out of range (0 to 9)");
    plan.controlled = {3, 8};
    plan.eventsPath = "/nonexistent-folder/events.log";
    EXPECT_EQ(refusal(), "cannot write /nonexistent-folder/events.log: No such file or directory");
    plan.eventsPath.clear();

    auto made = VecMatch::Make(plan);
    ASSERT_TRUE(made) << made.Reason();
    VecMatch& batch = **made;
    const std::vector<AgentAction> fine(2);
    EXPECT_EQ(batch.Step(fine.data()).Reason(), "reset() must be called before the first step()");
    batch.Reset();
    const std::vector<AgentAction> badCode{{kHold, 0, 0}, {7, 0, 0}};
    EXPECT_EQ(
        batch.Step(badCode.data()).Reason().rfind("action of match 0, agent 1 (slot 8): unknown action code 7", 0), 0u);
    const std::vector<AgentAction> badSlot{{kPass, 10, 0}, {kHold, 0, 0}};
    EXPECT_EQ(batch.Step(badSlot.data()).Reason().rfind("action of match 0, agent 0 (slot 3): pass to slot 10", 0), 0u);
    const std::vector<std::int32_t> badChoice{0, kCoarseActionCount};
    EXPECT_EQ(batch.StepCoarse(badChoice.data()).Reason().rfind("action of match 0, agent 1: coarse action 7", 0), 0u);
    EXPECT_TRUE(batch.CheckActions(fine.data()));
    EXPECT_EQ(batch.Raw(0).frame, 0);
}

// A file whose Team contradicts the slot (slot 2 says red) changes nobody's side: the side is the slot's, so slot 2
// is scored and observed as blue, opposite slot 7, in every step and after a try.
TEST(VecMatch, ASlotsSideDecidesRewardAndObservationWhateverTheFilesTeam)
{
    VecMatchPlan plan;
    plan.controlled = {2, 7};
    plan.seed = 5;
    plan.minutes = 6.0;
    plan.decisionFrames = 30;
    plan.players = Defaults();
    plan.players[2].Team = 1;
    auto made = VecMatch::Make(plan);
    ASSERT_TRUE(made) << made.Reason();
    VecMatch& batch = **made;
    batch.Reset();
    EXPECT_EQ(batch.observations[features::kTeam], 0.f);
    EXPECT_EQ(batch.observations[kObservationSize + features::kTeam], 1.f);
    const std::vector<AgentAction> builtin(2);
    // Each step's reward is the tries the agent's side scored in it less those it let in; the return sums them.
    std::array<int, 2> scored{};
    float sum = 0.f;
    while (scored[0] == 0 || scored[1] == 0)
    {
        const auto before = batch.Raw(0).tries;
        ASSERT_TRUE(batch.Step(builtin.data()));
        ASSERT_EQ(batch.truncations[0], 0) << "not a try each way in six minutes";
        const auto after = batch.Raw(0).tries;
        const int blue = after[0] - before[0];
        const int red = after[1] - before[1];
        EXPECT_EQ(batch.rewards[0], static_cast<float>(blue - red));
        EXPECT_EQ(batch.rewards[1], static_cast<float>(red - blue));
        scored[0] += blue;
        scored[1] += red;
        sum += batch.rewards[0];
        EXPECT_EQ(batch.returns[0], sum);
        EXPECT_EQ(batch.returns[1], -sum);
    }
}

} // namespace tryzone
