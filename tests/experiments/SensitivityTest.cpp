#include "experiments/Sensitivity.h"

#include "experiments/Variation.h"
#include "run/MatchRunner.h"
#include "support/Files.h"
#include "tactics/TacticsFile.h"

#include <algorithm>
#include <gtest/gtest.h>

namespace tryzone
{

namespace
{
MatchResult Score(int blue, int red)
{
    MatchResult result;
    result.teams[0].tries = blue;
    result.teams[1].tries = red;
    return result;
}

SensitivitySetup RedSetup()
{
    SensitivitySetup setup;
    const auto defaults = DefaultPlayers();
    setup.lineup.assign(defaults.begin(), defaults.end());
    setup.slots = *WhoSlots("red");
    setup.matches = 2;
    setup.change = 10.0;
    return setup;
}
} // namespace

// Each lineup scales only the chosen players' one key, from each player's own value.
TEST(Sensitivity, LineupsScaleOneKeyOfTheChosenPlayersEach)
{
    SensitivitySetup setup = RedSetup();
    setup.lineup[7].Speed = 200.f;
    const auto lineups = SensitivityLineups(setup);
    const auto names = SensitivityLineupNames(setup);
    ASSERT_EQ(lineups.size(), 1 + 2 * FloatKeys().size());
    ASSERT_EQ(names.size(), lineups.size());
    EXPECT_EQ(lineups[0], setup.lineup);
    const std::size_t speedUp = 1 + 2 * 1 + 1; // Radius down, Radius up, Speed down, Speed up
    EXPECT_EQ(names[speedUp], "Speed +10%");
    EXPECT_FLOAT_EQ(lineups[speedUp][7].Speed, 220.f);
    EXPECT_FLOAT_EQ(lineups[speedUp - 1][7].Speed, 180.f);
    EXPECT_EQ(lineups[speedUp][2], setup.lineup[2]); // blue untouched
    EXPECT_EQ(lineups[speedUp][7].Radius, setup.lineup[7].Radius);
}

// Red's wins rank the changes, highest first; equal rates keep the keys' order, down before up.
TEST(Sensitivity, RanksTheChangesByTheSidesWinRate)
{
    const SensitivitySetup setup = RedSetup();
    std::vector<MatchResult> results;
    for (std::size_t lineup = 0; lineup < 13; ++lineup)
    {
        // Unchanged: one red win in two; Speed up (lineup 4): two; Radius down (lineup 1): none.
        const int redWins = lineup == 4 ? 2 : (lineup == 1 ? 0 : 1);
        results.push_back(redWins >= 1 ? Score(1, 3) : Score(2, 2));
        results.push_back(redWins == 2 ? Score(0, 1) : Score(5, 1));
    }
    const SensitivityTable table = TabulateSensitivity(setup, results);
    EXPECT_EQ(table.unchanged.wins, 1);
    EXPECT_EQ(table.unchanged.losses, 1);
    ASSERT_EQ(table.ranked.size(), 12u);
    EXPECT_EQ(ChangeLabel(setup, table.ranked.front()), "Speed +10%");
    EXPECT_EQ(table.ranked.front().rate, 1.0);
    EXPECT_EQ(ChangeLabel(setup, table.ranked[1]), "Radius +10%");
    EXPECT_EQ(ChangeLabel(setup, table.ranked[2]), "Speed -10%");
    EXPECT_EQ(ChangeLabel(setup, table.ranked.back()), "Radius -10%");
    EXPECT_EQ(table.ranked.back().draws, 1);
    const std::string csv = SensitivityCsv(setup, table);
    EXPECT_EQ(csv.substr(0, csv.find('\n')), "rank,key,change_percent,who,matches,red_wins,draws,red_losses,"
                                             "red_win_rate,red_win_rate_low,red_win_rate_high,difference,clear");
    EXPECT_NE(csv.find("\n1,Speed,10,red,2,2,0,0,1.000000,"), std::string::npos) << csv;
}

} // namespace tryzone

namespace tryzone
{

// The changing side's tactics file adds its numbers after the float keys, each moved within its range, its lineups
// the players as they are in the moved tactic; the other side's file, or none, adds nothing.
TEST(Sensitivity, RanksTheChangingSidesTacticNumbersBesideTheFloatKeys)
{
    const std::string path = TRYZONE_TACTICS_PATH "/hold-the-line.tactics.json";
    std::string text = ReadFile(path);
    const TacticsRead read = ParseTactics(text, path);
    ASSERT_NE(read.tactic, nullptr) << read.error;
    SensitivitySetup setup = RedSetup();
    setup.who = "red";
    setup.teams[1] = {path, read.tactic};
    ASSERT_TRUE(FindTacticKeys(setup));
    const auto keys = SensitivityKeys(setup);
    const auto line = std::find(keys.begin(), keys.end(), "Line.depth");
    ASSERT_NE(line, keys.end());
    const auto index = static_cast<std::size_t>(line - keys.begin()) - FloatKeys().size();
    const auto lineups = SensitivityLineups(setup);
    const auto tactics = SensitivityTactics(setup);
    ASSERT_EQ(lineups.size(), 1 + 2 * keys.size());
    ASSERT_EQ(tactics.size(), lineups.size());
    EXPECT_EQ(lineups.back(), setup.lineup);
    EXPECT_EQ(tactics[1][1], nullptr);
    const std::size_t down = 1 + 2 * (FloatKeys().size() + index);
    for (const auto& [lineup, depth] : {std::pair{down, 0.315}, std::pair{down + 1, 0.385}})
    {
        EXPECT_EQ(tactics[lineup][0], nullptr);
        ASSERT_NE(tactics[lineup][1], nullptr);
        EXPECT_EQ(tactics[lineup][1]->states[2].action.Number("depth"), depth) << lineup;
    }
    EXPECT_EQ(SensitivityLineupNames(setup)[down], "Line.depth -10%");

    // Held at the top of its range, the parameter moves down only; with --who all the keys name their side.
    const std::size_t at = text.find("\"depth\": 0.35");
    const TacticsRead top = ParseTactics(text.replace(at, 13, "\"depth\": 1"), path);
    setup.teams[1].tactic = top.tactic;
    setup.who = "all";
    ASSERT_TRUE(FindTacticKeys(setup));
    const auto all = SensitivityKeys(setup);
    EXPECT_NE(std::find(all.begin(), all.end(), "red:Line.depth"), all.end());
    EXPECT_EQ(SensitivityTactics(setup)[down + 1][1]->states[2].action.Number("depth"), 1.0);
    setup.who = "blue";
    ASSERT_TRUE(FindTacticKeys(setup));
    EXPECT_EQ(SensitivityKeys(setup), FloatKeys());
}

} // namespace tryzone
