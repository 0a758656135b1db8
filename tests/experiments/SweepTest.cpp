#include "experiments/Sweep.h"

#include "shards/Shards.h"

#include <gtest/gtest.h>

namespace tryzone
{

TEST(WilsonInterval, TouchesItsEndsAtNoWinsAndAtEveryWin)
{
    const Interval none = WilsonInterval(0, 20);
    EXPECT_EQ(none.low, 0.0);
    EXPECT_NEAR(none.high, 0.16113, 1e-5);
    const Interval all = WilsonInterval(20, 20);
    EXPECT_NEAR(all.low, 0.83887, 1e-5);
    EXPECT_EQ(all.high, 1.0);
    const Interval half = WilsonInterval(5, 10);
    EXPECT_NEAR(half.low, 0.23659, 1e-5);
    EXPECT_NEAR(half.high, 0.76341, 1e-5);
}

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
