#include "experiments/League.h"

#include <gtest/gtest.h>
#include <sstream>

namespace tryzone
{

namespace
{
MatchResult Played(int blueTries, int redTries, std::int64_t bluePossession, int bluePasses, int redTackles)
{
    MatchResult result;
    result.frames = 1000;
    result.teams[0] = {blueTries, bluePossession, 0, bluePasses, 0, 0};
    result.teams[1] = {redTries, 1000 - bluePossession, 0, 0, 0, redTackles};
    return result;
}
} // namespace

// Each entrant's counts come from the side it played in each match: blue in one pairing, red in the other.
TEST(LeagueTable, PossessionPassesAndTacklesFollowTheEntrantsSide)
{
    LeagueSetup setup;
    setup.entries = {{"a", "a.tactics.json", {}, {}, {}}, {"b", "b.tactics.json", {}, {}, {}}};
    setup.matches = 1;
    // Pairing 0: a blue, b red; pairing 1: b blue, a red.
    const std::vector<MatchResult> results{Played(3, 1, 700, 10, 4), Played(0, 2, 200, 6, 9)};
    const std::vector<LeagueRow> rows = TabulateLeague(setup, results);
    ASSERT_EQ(rows.size(), 2U);
    EXPECT_EQ(rows[0].possessionFrames, 700 + 800);
    EXPECT_EQ(rows[1].possessionFrames, 300 + 200);
    EXPECT_EQ(rows[0].frames, 2000);
    EXPECT_EQ(rows[0].passes, 10);
    EXPECT_EQ(rows[1].passes, 6);
    EXPECT_EQ(rows[0].tackles, 9);
    EXPECT_EQ(rows[1].tackles, 4);
    EXPECT_EQ(rows[0].wins, 2);

    std::ostringstream table;
    PrintLeague(table, setup, rows);
    EXPECT_NE(table.str().find("Possession  Passes  Tackles"), std::string::npos) << table.str();
    EXPECT_NE(table.str().find("    75.0%     5.0      4.5"), std::string::npos) << table.str();
    const auto json = LeagueAsJson(setup, rows, results);
    EXPECT_EQ(json["table"][0]["tactic"], "a");
    EXPECT_DOUBLE_EQ(json["table"][0]["possession"].get<double>(), 0.75);
    EXPECT_EQ(json["table"][1]["tackles"], 4);
    EXPECT_NE(LeagueCsv(setup, rows).find(",0.750000,10,9\n"), std::string::npos);
}

} // namespace tryzone
