#include "core/Random.h"

#include <gtest/gtest.h>
#include <set>
#include <vector>

namespace tryzone
{

TEST(Chance, BoundsAreNeverOrAlways)
{
    SeedChance(7);
    int hundred = 0;
    for (int i = 0; i < 20000; ++i)
    {
        EXPECT_FALSE(Chance(0.f));
        EXPECT_FALSE(Chance(-1.f));
        EXPECT_TRUE(Chance(101.f));
        hundred += Chance(100.f) ? 1 : 0;
    }
    // 100 itself can be drawn, so 100 percent is true all but about once in 2^24 draws.
    EXPECT_GE(hundred, 19999);
}

TEST(Chance, FollowsThePercentage)
{
    SeedChance(11);
    int hits = 0;
    for (int i = 0; i < 100000; ++i)
    {
        hits += Chance(25.f) ? 1 : 0;
    }
    EXPECT_NEAR(hits / 100000.0, 0.25, 0.01);
}

TEST(RandomInt, CoversTheClosedRangeAndNothingElse)
{
    SeedRandomInt(3);
    std::set<int> seen;
    for (int i = 0; i < 1000; ++i)
    {
        const int k = RandomInt(0, 4);
        ASSERT_GE(k, 0);
        ASSERT_LE(k, 4);
        seen.insert(k);
        EXPECT_EQ(RandomInt(3, 3), 3);
    }
    EXPECT_EQ(seen.size(), 5u);
}

TEST(Random, EnginesAreIndependentAndReseedable)
{
    auto draws = [](bool interleaveChance)
    {
        SeedRandom(42);
        std::vector<int> values;
        for (int i = 0; i < 50; ++i)
        {
            if (interleaveChance)
            {
                (void)Chance(50.f);
            }
            values.push_back(RandomInt(0, 1000));
        }
        return values;
    };
    const std::vector<int> alone = draws(false);
    EXPECT_EQ(draws(true), alone);

    auto chances = [](bool interleaveInts)
    {
        SeedRandom(42);
        std::vector<bool> values;
        for (int i = 0; i < 50; ++i)
        {
            if (interleaveInts)
            {
                (void)RandomInt(0, 4);
            }
            values.push_back(Chance(50.f));
        }
        return values;
    };
    EXPECT_EQ(chances(true), chances(false));
}

} // namespace tryzone
