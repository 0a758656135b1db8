#include "shards/PartChecks.h"

#include <gtest/gtest.h>

namespace tryzone
{

namespace
{
struct HeatLine
{
    const char* name;
    const char* counted;
    bool read;
};

class HeatCounts : public testing::TestWithParam<HeatLine>
{
};
} // namespace

// A part's heat counts come from a file anyone may edit: only "square:count" pairs, one space apart, on the run's
// grid, are read; anything else refuses the part rather than drawing a heat map the run never played.
TEST_P(HeatCounts, AreReadOnlyAsSquareCountPairsOnTheGrid)
{
    const nlohmann::ordered_json heat{{"squares", 10}, {"counted", GetParam().counted}};
    EXPECT_EQ(HeatFromJson(heat, 10).has_value(), GetParam().read) << GetParam().counted;
}

INSTANTIATE_TEST_SUITE_P(
    Parts, HeatCounts,
    testing::Values(HeatLine{"None", "", true}, HeatLine{"Two", "1:5 3:2", true}, HeatLine{"LastSquare", "9:1", true},
                    HeatLine{"PastTheGrid", "10:1", false}, HeatLine{"NoSquare", ":3", false},
                    HeatLine{"NoCount", "5:", false}, HeatLine{"NoColon", "5", false},
                    HeatLine{"TrailingSpace", "5:3 ", false}, HeatLine{"TwoSpaces", "5:3  6:1", false},
                    HeatLine{"Semicolon", "1;2", false}, HeatLine{"Letters", "x:3", false},
                    HeatLine{"CountThenLetter", "1:2x", false}, HeatLine{"Negative", "-1:2", false}),
    [](const testing::TestParamInfo<HeatLine>& param) { return param.param.name; });

TEST(HeatCounts, AnotherGridIsRefusedAndCountsComeBackAsWritten)
{
    EXPECT_FALSE(HeatFromJson({{"squares", 12}, {"counted", "1:5"}}, 10));
    const auto read = HeatFromJson({{"squares", 10}, {"counted", "1:5 3:2"}}, 10);
    ASSERT_TRUE(read);
    ASSERT_EQ(read->size(), 2u);
    EXPECT_EQ((*read)[0].square, 1u);
    EXPECT_EQ((*read)[0].count, 5u);
    EXPECT_EQ((*read)[1].square, 3u);
    EXPECT_EQ((*read)[1].count, 2u);
}

} // namespace tryzone
