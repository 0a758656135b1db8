#include "experiments/Sweep.h"

#include "shards/Shards.h"

#include <gtest/gtest.h>

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
