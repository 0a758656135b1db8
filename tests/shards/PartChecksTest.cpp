#include "shards/PartChecks.h"

#include "experiments/Variation.h"
#include "run/MatchRunner.h"

#include <functional>
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

INSTANTIATE_TEST_SUITE_P(Parts, HeatCounts,
                         testing::Values(HeatLine{"None", "", true}, HeatLine{"Two", "1:5 3:2", true},
                                         HeatLine{"LastSquare", "9:1", true}, HeatLine{"PastTheGrid", "10:1", false},
                                         HeatLine{"NoSquare", ":3", false}, HeatLine{"NoCount", "5:", false},
                                         HeatLine{"NoColon", "5", false}, HeatLine{"TrailingSpace", "5:3 ", false},
                                         HeatLine{"TwoSpaces", "5:3  6:1", false}, HeatLine{"Semicolon", "1;2", false},
                                         HeatLine{"Letters", "x:3", false}, HeatLine{"CountThenLetter", "1:2x", false},
                                         HeatLine{"Negative", "-1:2", false}),
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

namespace
{
// Tasks 2 to 4 of a run of three matches a value over two values, as that run would play them.
struct PlayedPart
{
    RunSetup setup;
    TaskRange tasks{2, 3};
    std::vector<MatchResult> results;

    PlayedPart()
    {
        setup.seed = 11;
        setup.matches = 3;
        setup.framesPerMatch = 100;
        setup.checkRules = true;
        setup.variation = *ParseVariation("Speed=100:200:100", "red");
        for (int task = tasks.first; task < tasks.first + tasks.count; ++task)
        {
            MatchResult result;
            result.match = task % 3 + 1;
            result.seed = MatchSeed(setup.seed, result.match);
            result.frames = 100;
            // tries, possession, passes tried and made, tackles tried and made, forward passes, restarts
            result.teams[0] = {2, 60, 5, 4, 3, 1, 0, 0, {}};
            result.teams[1] = {1, 40, 3, 3, 0, 0, 0, 0, {}};
            results.push_back(result);
        }
    }
};

struct Forgery
{
    const char* what;
    std::function<void(PlayedPart&)> edit;
    const char* reason; // empty: still a result the run can play
};
} // namespace

// A part's results are whatever its file says: each match must be the one the run plays for its task, and its counts
// possible in its frames; the first that is not is named with its match and value.
TEST(CheckResults, RefusesResultsTheRunCannotHavePlayed)
{
    const auto breach = [](MatchResult& result, std::int64_t frame)
    {
        result.frames = 50;
        result.teams[0].possessionFrames = 30;
        result.teams[1].possessionFrames = 20;
        result.breach = RuleBreach{frame, "ball"};
    };
    const std::vector<Forgery> forgeries{
        {"as played", [](PlayedPart&) {}, ""},
        {"a rule broken in the last match", [&](PlayedPart& p) { breach(p.results[2], 50); }, ""},
        {"a rule broken in an earlier match", [&](PlayedPart& p) { breach(p.results[1], 50); },
         "match 1 with Speed 200: a rule broken in a run that goes on"},
        {"a rule broken unchecked",
         [&](PlayedPart& p)
         {
             p.setup.checkRules = false;
             breach(p.results[2], 50);
         },
         "match 2 with Speed 200: a rule broken in a run that goes on"},
        {"breach past its frames", [&](PlayedPart& p) { breach(p.results[2], 49); }, "a rule broken at frame 49 of 50"},
        {"renumbered", [](PlayedPart& p) { p.results[0].match = 1; }, "match 3 with Speed 100: numbered 1 where"},
        {"reseeded", [](PlayedPart& p) { ++p.results[1].seed; }, "match 1 with Speed 200: seed "},
        {"short", [](PlayedPart& p) { p.results[0].frames = 99; }, "99 frames, not 100, with no rule broken"},
        {"negative", [](PlayedPart& p) { p.results[2].teams[1].restarts = -1; }, "red's restarts -1 is negative"},
        {"tries", [](PlayedPart& p) { p.results[2].teams[0].tries = 101; }, "blue's tries 101 in 100 frames"},
        {"tackles a frame", [](PlayedPart& p) { p.results[2].teams[1].tackleAttempts = 501; },
         "red's tackle_attempts 501 in 100 frames"},
        {"passes", [](PlayedPart& p) { p.results[2].teams[1].passes = 4; }, "red's passes 4: more passes completed"},
        {"tackles", [](PlayedPart& p) { p.results[2].teams[0].tackles = 4; }, "blue's tackles 4: more tackles made"},
        {"possession", [](PlayedPart& p) { p.results[2].teams[1].possessionFrames = 41; },
         "match 2 with Speed 200: more frames of possession than frames"},
    };
    for (const Forgery& forgery : forgeries)
    {
        SCOPED_TRACE(forgery.what);
        PlayedPart part;
        forgery.edit(part);
        const auto checked = CheckResults(part.setup, part.tasks, part.results);
        if (*forgery.reason == '\0')
        {
            EXPECT_TRUE(checked) << checked.Reason();
            continue;
        }
        ASSERT_FALSE(checked);
        EXPECT_NE(checked.Reason().find(forgery.reason), std::string::npos) << checked.Reason();
    }
}

} // namespace tryzone
