#include "experiments/Sweep.h"

#include "experiments/Simulation.h"
#include "run/MatchRunner.h"
#include "shards/Shards.h"
#include "support/Files.h"
#include "tactics/TacticsFile.h"

#include <gtest/gtest.h>
#include <sstream>
#include <tuple>

namespace tryzone
{

TEST(Variation, StepsReachTheEndDespiteRoundingAndSetOnlyTheChosenSlots)
{
    const auto parsed = ParseVariation("Speed=0.1:0.3:0.1", "slot:7");
    ASSERT_TRUE(parsed) << parsed.Reason();
    const Variation& variation = *parsed;
    EXPECT_EQ(variation.values, (std::vector<float>{0.1f, 0.2f, 0.3f}));

    const std::vector<PlayerSettings> base(10);
    const auto lineups = Lineups(variation, base);
    ASSERT_EQ(lineups.size(), 3u);
    for (std::size_t slot = 0; slot < 10; ++slot)
    {
        EXPECT_EQ(lineups[2][slot].Speed, slot == 7 ? 0.3f : 0.f) << slot;
    }
}

// A list keeps its order; a plus sign is a number's own.
TEST(Variation, AListPlaysItsValuesInTheOrderGiven)
{
    const auto parsed = ParseVariation("Speed=300,+100,250.5", "blue");
    ASSERT_TRUE(parsed) << parsed.Reason();
    const Variation& variation = *parsed;
    EXPECT_EQ(variation.values, (std::vector<float>{300.f, 100.f, 250.5f}));
    EXPECT_EQ(DescribeVariation(variation), "Speed of blue at 300, 100, 250.5 (3 values)");
    EXPECT_TRUE(ParseVariation("Speed=+1:+2:1", "red"));
}

TEST(ShardTasks, EveryTaskBelongsToExactlyOneShardOfNearlyEqualSize)
{
    for (const auto& [total, count] : std::vector<std::pair<int, int>>{{10, 4}, {9, 4}, {3, 5}, {1000, 7}, {1, 1}})
    {
        int next = 0;
        for (int index = 0; index < count; ++index)
        {
            const TaskRange tasks = ShardTasks(Shard{index, count}, total);
            EXPECT_EQ(tasks.first, next) << total << " in " << count;
            EXPECT_LE(std::abs(tasks.count - total / count), 1) << total << " in " << count;
            next += tasks.count;
        }
        EXPECT_EQ(next, total);
    }
}

} // namespace tryzone

namespace tryzone
{

namespace
{
std::string EventLog(const RunSetup& setup)
{
    SimulationPlan plan = PlanFor(setup);
    std::ostringstream events;
    plan.events = &events;
    static_cast<void>(Simulate(plan));
    return events.str();
}
} // namespace

// A tactic's parameter varied plays exactly as its file edited to the value: the same event log, byte for byte. The
// side is the one whose tactic holds the state, else --who's or the prefix's; what the file would refuse is refused.
TEST(TacticVariation, PlaysAsTheEditedFileOnTheSideThatHoldsTheState)
{
    const std::string path = TRYZONE_TACTICS_PATH "/hold-the-line.tactics.json";
    const TacticsRead base = ReadTacticsFile(path);
    std::string text = ReadFile(path);
    const std::size_t depth = text.find("\"depth\": 0.35");
    ASSERT_NE(depth, std::string::npos);
    const TacticsRead edited = ParseTactics(text.replace(depth, 13, "\"depth\": 0.9"), "edited");
    ASSERT_NE(edited.tactic, nullptr) << edited.error;

    RunSetup run;
    const auto defaults = DefaultPlayers();
    run.lineup.assign(defaults.begin(), defaults.end());
    run.seed = 5;
    run.framesPerMatch = 2500;
    run.teams[1] = {path, base.tactic};
    RunSetup varied = run;
    varied.variation = *ParseVariation("Line.depth=0.9", "blue");
    ASSERT_TRUE(ResolveVariation(varied));
    EXPECT_EQ(varied.variation->who, "red");
    RunSetup byFile = run;
    byFile.teams[1].tactic = edited.tactic;
    ASSERT_EQ(varied.variation->tactics.size(), 1u);
    EXPECT_EQ(varied.variation->tactics[0][0], nullptr);
    EXPECT_TRUE(varied.variation->tactics[0][1]->source == edited.tactic->source);
    const std::string log = EventLog(varied);
    EXPECT_TRUE(log == EventLog(byFile));
    EXPECT_TRUE(log != EventLog(run));

    // Both sides have Attack: --who (blue by default) or a prefix picks, and all varies both.
    for (const auto& [vary, who, blue, red] : std::vector<std::tuple<std::string, std::string, bool, bool>>{
             {"Attack.speedFactor=1.2", "blue", true, false},
             {"Attack.speedFactor=1.2", "red", false, true},
             {"red:Attack.speedFactor=1.2", "blue", false, true},
             {"Attack.speedFactor=1.2", "all", true, true}})
    {
        RunSetup both = run;
        both.variation = *ParseVariation(vary, who);
        ASSERT_TRUE(ResolveVariation(both)) << vary;
        EXPECT_EQ(both.variation->tactics[0][0] != nullptr, blue) << vary << " " << who;
        EXPECT_EQ(both.variation->tactics[0][1] != nullptr, red) << vary << " " << who;
    }
    for (const auto& [vary, fault] : std::vector<std::pair<std::string, std::string>>{
             {"Line.depth=0.5:1.5:0.5", path + ": /states/2/parameters/depth: 1.5 is out of range (0 to 1)"},
             {"Line.speed=1", "the action Hold of Line has no parameter speed; its numeric ones: depth"},
             {"Pass.receiver=1", "has no numeric parameter receiver"},
             {"blue:Line.depth=0.2", "blue's tactic has no state Line"},
             {"Guard.depth=0.2", "neither team's tactic has a state Guard"}})
    {
        RunSetup wrong = run;
        wrong.variation = *ParseVariation(vary, "blue");
        const auto resolved = ResolveVariation(wrong);
        ASSERT_FALSE(resolved) << vary;
        EXPECT_NE(resolved.Reason().find(fault), std::string::npos) << resolved.Reason();
    }
    EXPECT_FALSE(ParseVariation("green:Line.depth=0.2", "blue"));
    EXPECT_FALSE(ParseVariation("Line.depth=0.2", "slot:3"));
}

} // namespace tryzone
