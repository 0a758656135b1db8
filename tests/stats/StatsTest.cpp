#include "stats/BradleyTerry.h"
#include "stats/Wilson.h"

#include <cmath>
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

TEST(BradleyTerryRatings, FitTheWinShareCentreOnZeroAndOrderTheStrongestFirst)
{
    // Two sides, 3 wins to 1: the fitted odds are 3 to 1, so the ratings are 200 log10 3 either side of 0.
    const std::vector<double> pair = BradleyTerryRatings({{0.0, 3.0}, {1.0, 0.0}});
    ASSERT_EQ(pair.size(), 2u);
    EXPECT_NEAR(pair[0], 200.0 * std::log10(3.0), 1e-6);
    EXPECT_NEAR(pair[1], -200.0 * std::log10(3.0), 1e-6);

    // Even results rate everyone alike; a chain of wins orders them and still averages 0.
    for (const double rating : BradleyTerryRatings({{0, 2, 2}, {2, 0, 2}, {2, 2, 0}}))
    {
        EXPECT_NEAR(rating, 0.0, 1e-9);
    }
    const std::vector<double> chain = BradleyTerryRatings({{0, 3, 4}, {1, 0, 3}, {0.5, 1, 0}});
    EXPECT_GT(chain[0], chain[1]);
    EXPECT_GT(chain[1], chain[2]);
    EXPECT_NEAR(chain[0] + chain[1] + chain[2], 0.0, 1e-9);
}

} // namespace tryzone
