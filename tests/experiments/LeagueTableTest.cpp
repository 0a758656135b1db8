#include "experiments/League.h"

#include <array>
#include <cmath>
#include <cstdio>
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
    result.teams[0] = {blueTries, bluePossession, 0, bluePasses, 0, 0, 0, 0, {}};
    result.teams[1] = {redTries, 1000 - bluePossession, 0, 0, 0, redTackles, 0, 0, {}};
    return result;
}
std::string Fixed3(double value)
{
    std::array<char, 32> text{};
    std::snprintf(text.data(), text.size(), "%.3f", value);
    return text.data();
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
    // The rating's interval follows the columns the CSV always had, in the table, JSON and CSV alike.
    const std::string csv = LeagueCsv(setup, rows);
    EXPECT_NE(csv.find(",0.750000,10,9," + Fixed3(rows[0].ratingInterval.low) + "," +
                       Fixed3(rows[0].ratingInterval.high) + "\n"),
              std::string::npos)
        << csv;
    EXPECT_EQ(json["table"][0]["rating_low"].get<double>(), rows[0].ratingInterval.low);
    EXPECT_LT(rows[0].ratingInterval.low, rows[0].rating);
    EXPECT_NE(table.str().find(" 95% (Fisher) "), std::string::npos) << table.str();
}

} // namespace tryzone

namespace tryzone
{

// Two entrants have a closed form: the log-strength difference's variance is 1 / (n p q), each rating half of it
// with their mean held at 0. Three entrants: the interval holds the rating, is as wide either side, and shrinks by
// the square root of the matches played; of even entrants, the one that played most has the narrowest.
TEST(LeagueTable, RatingIntervalsComeFromTheFittedModelsInformation)
{
    const std::vector<std::vector<double>> two{{0.5, 7.5}, {3.5, 0.5}};
    const std::vector<double> ratings = BradleyTerryRatings(two);
    const std::vector<Interval> intervals = RatingIntervals(two, ratings);
    const double p = 7.5 / 11.0;
    const double half = 1.959964 * 400.0 / std::log(10.0) * std::sqrt(1.0 / (4.0 * 11.0 * p * (1.0 - p)));
    ASSERT_EQ(intervals.size(), 2u);
    EXPECT_NEAR(ratings[0], 200.0 * std::log10(7.5 / 3.5), 1e-6);
    for (std::size_t i = 0; i < 2; ++i)
    {
        EXPECT_NEAR(intervals[i].low, ratings[i] - half, 1e-3);
        EXPECT_NEAR(intervals[i].high, ratings[i] + half, 1e-3);
    }

    std::vector<std::vector<double>> three{{0.0, 6.0, 9.0}, {4.0, 0.0, 2.0}, {1.0, 3.0, 0.0}};
    const auto widths = [](const std::vector<std::vector<double>>& wins)
    {
        const std::vector<double> fitted = BradleyTerryRatings(wins);
        std::vector<double> result;
        for (std::size_t i = 0; i < fitted.size(); ++i)
        {
            const Interval interval = RatingIntervals(wins, fitted)[i];
            EXPECT_NEAR(fitted[i] - interval.low, interval.high - fitted[i], 1e-9);
            EXPECT_LT(interval.low, fitted[i]);
            result.push_back(interval.high - interval.low);
        }
        return result;
    };
    const std::vector<double> once = widths(three);
    for (auto& row : three)
    {
        for (double& won : row)
        {
            won *= 4.0;
        }
    }
    const std::vector<double> fourTimes = widths(three);
    for (std::size_t i = 0; i < 3; ++i)
    {
        EXPECT_NEAR(fourTimes[i], once[i] / 2.0, 1e-6 * once[i]);
    }
    // Even strengths: entrant 0 played 20 matches, 1 and 2 twelve each.
    const std::vector<double> even = widths({{0.0, 5.0, 5.0}, {5.0, 0.0, 1.0}, {5.0, 1.0, 0.0}});
    EXPECT_LT(even[0], even[1]);
    EXPECT_NEAR(even[1], even[2], 1e-9);
}

} // namespace tryzone
