#include "experiments/League.h"
#include "experiments/Simulation.h"
#include "experiments/Sweep.h"
#include "experiments/Variation.h"
#include "run/MatchRunner.h"

#include <gtest/gtest.h>
#include <set>

namespace tryzone
{

namespace
{
class PairingsOf : public testing::TestWithParam<int>
{
};

RunSetup ShortRun()
{
    RunSetup run;
    run.seed = 7;
    const auto defaults = DefaultPlayers();
    run.lineup.assign(defaults.begin(), defaults.end());
    run.matches = 2;
    run.framesPerMatch = 150;
    return run;
}

void ExpectSameMatch(const MatchResult& got, const MatchResult& wanted)
{
    EXPECT_EQ(got.match, wanted.match);
    EXPECT_EQ(got.seed, wanted.seed);
    EXPECT_EQ(got.frames, wanted.frames);
    EXPECT_TRUE(got.teams == wanted.teams) << "match " << wanted.match;
}
} // namespace

// Every entrant meets every other twice, once as each side, the two meetings one after the other.
TEST_P(PairingsOf, EveryPairPlaysBothWaysRoundInTurn)
{
    const int entries = GetParam();
    const std::vector<Pairing> pairings = LeaguePairings(entries);
    ASSERT_EQ(pairings.size(), static_cast<std::size_t>(entries * (entries - 1)));
    std::set<std::pair<int, int>> met;
    for (std::size_t i = 0; i < pairings.size(); i += 2)
    {
        const Pairing& one = pairings[i];
        const Pairing& back = pairings[i + 1];
        EXPECT_LT(one.blue, one.red);
        EXPECT_EQ(back.blue, one.red);
        EXPECT_EQ(back.red, one.blue);
        EXPECT_GE(one.blue, 0);
        EXPECT_LT(one.red, entries);
        EXPECT_TRUE(met.insert({one.blue, one.red}).second) << one.blue << " v " << one.red;
    }
}

INSTANTIATE_TEST_SUITE_P(Leagues, PairingsOf, testing::Values(0, 1, 2, 3, 5));

// A league's tasks: matches 1 to n of each pairing in turn, both ways round on the same match seeds.
TEST(Designs, ALeaguePlaysEachPairingOnTheSameMatchSeeds)
{
    SimulationPlan plan = PlanFor(ShortRun());
    const std::vector<LeagueEntry> entries{{"a", "builtin", {}, {}, {}}, {"b", "builtin", {}, {}, {}}};
    plan.pairings = PairingSides(entries, LeaguePairings(2), plan.run.lineup);
    EXPECT_EQ(Numbering(plan).groups, 2);
    ASSERT_EQ(PlannedTasks(plan), 4);
    const std::vector<MatchResult> results = Simulate(plan);
    ASSERT_EQ(results.size(), 4u);
    for (std::size_t task = 0; task < 4; ++task)
    {
        EXPECT_EQ(results[task].match, static_cast<int>(task % 2 + 1));
        EXPECT_EQ(results[task].seed, MatchSeed(7, results[task].match));
    }
    // The same players both ways round: the second meeting is the first one again.
    ExpectSameMatch(results[2], results[0]);
    ExpectSameMatch(results[3], results[1]);
}

// A sweep's tasks run value after value, and a slice of them (a shard) plays exactly those tasks of the whole run.
TEST(Designs, ASliceOfASweepIsThoseTasksOfTheWholeRun)
{
    RunSetup run = ShortRun();
    run.variation = *ParseVariation("Speed=100,400", "blue");
    SimulationPlan whole = PlanFor(run);
    ASSERT_EQ(PlannedTasks(whole), 4);
    const std::vector<MatchResult> all = Simulate(whole);
    ASSERT_EQ(all.size(), 4u);
    EXPECT_FALSE(all[0].teams == all[2].teams) << "the two values play alike";
    SimulationPlan slice = PlanFor(run);
    slice.firstTask = 1;
    slice.taskCount = 2;
    EXPECT_EQ(PlannedTasks(slice), 2);
    const std::vector<MatchResult> part = Simulate(slice);
    ASSERT_EQ(part.size(), 2u);
    ExpectSameMatch(part[0], all[1]);
    ExpectSameMatch(part[1], all[2]);

    // The slice's rows: task 1 is the first value's second match, task 2 the second value's first.
    const std::vector<SweepRow> rows = SweepRows(*run.variation, 2, 1, part);
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[0].value, 100.f);
    EXPECT_EQ(rows[1].value, 400.f);
    EXPECT_EQ(rows[0].results.size(), 1u);
    EXPECT_EQ(rows[1].results[0].seed, all[2].seed);
}

// A row's wins are its chosen side's, with their interval, whichever side that is.
TEST(Designs, SweepRowsCountTheVariedSidesWins)
{
    const auto red = *ParseVariation("Speed=1:3:1", "red");
    std::vector<MatchResult> results(5);
    const int scores[5][2] = {{1, 0}, {0, 2}, {0, 1}, {3, 3}, {0, 4}};
    for (std::size_t i = 0; i < results.size(); ++i)
    {
        results[i].teams[0].tries = scores[i][0];
        results[i].teams[1].tries = scores[i][1];
    }
    const std::vector<SweepRow> rows = SweepRows(red, 2, 1, results);
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_EQ(rows[0].side, 1);
    EXPECT_EQ(rows[0].results.size(), 1u);
    EXPECT_EQ(rows[0].WinRate(), 0.0);
    EXPECT_EQ(rows[1].WinRate(), 1.0);
    EXPECT_EQ(rows[2].WinRate(), 0.5);
    EXPECT_EQ(rows[2].value, 3.f);
    EXPECT_LT(rows[2].wins.low, 0.5);
    EXPECT_GT(rows[2].wins.high, 0.5);
    EXPECT_EQ(WhoseSide(*ParseVariation("Speed=1:3:1", "slot:5")), 1);
    EXPECT_EQ(WhoseSide(*ParseVariation("Speed=1:3:1", "slot:4")), 0);
    EXPECT_EQ(WhoseSide(*ParseVariation("Speed=1:3:1", "all")), 0);
}

// Each result counts for the two entrants of its task's pairing, each from its own side: here entrant a beats
// everyone by 2 tries to 1 whichever side it plays, and b and c draw 1-1.
TEST(Designs, ALeagueTableCountsEachMatchForItsPairingsEntrants)
{
    LeagueSetup setup;
    setup.entries = {{"a", "a", {}, {}, {}}, {"b", "b", {}, {}, {}}, {"c", "c", {}, {}, {}}};
    setup.matches = 2;
    const std::vector<Pairing> pairings = LeaguePairings(3);
    std::vector<MatchResult> results;
    for (const Pairing& pairing : pairings)
    {
        for (int match = 0; match < setup.matches; ++match)
        {
            MatchResult result;
            result.frames = 100;
            result.teams[0].tries = pairing.blue == 0 ? 2 : 1;
            result.teams[1].tries = pairing.red == 0 ? 2 : 1;
            results.push_back(result);
        }
    }
    const std::vector<LeagueRow> rows = TabulateLeague(setup, results);
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_EQ(rows[0].matches, 8);
    EXPECT_EQ(rows[0].wins, 8);
    EXPECT_EQ(rows[0].triesFor, 16);
    EXPECT_EQ(rows[0].triesAgainst, 8);
    for (const LeagueRow& row : {rows[1], rows[2]})
    {
        EXPECT_EQ(row.matches, 8);
        EXPECT_EQ(row.wins, 0);
        EXPECT_EQ(row.draws, 4);
        EXPECT_EQ(row.losses, 4);
        EXPECT_EQ(row.triesFor, 8);
        EXPECT_EQ(row.triesAgainst, 12);
        EXPECT_EQ(row.frames, 800);
        EXPECT_LT(row.rating, rows[0].rating);
    }
    EXPECT_NEAR(rows[1].rating, rows[2].rating, 1e-9);
}

} // namespace tryzone
