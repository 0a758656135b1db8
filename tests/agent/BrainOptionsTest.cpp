#include "agent/BrainOptions.h"

#include "run/MatchRunner.h"

#include <gtest/gtest.h>

namespace tryzone
{

// Each team's brain goes to its own players, and --brain's slots keep theirs whichever team they are on.
TEST(BrainOptions, EachTeamsBrainPlaysItsOwnPlayersButTheNamedSlots)
{
    const auto defaults = DefaultPlayers();
    const std::vector<PlayerSettings> lineup(defaults.begin(), defaults.end());
    BrainOptions options;
    ASSERT_EQ(AddBrains("2,8=runner", options.slots), "");
    options.teams = {"hold", "random"};
    ASSERT_TRUE(options.Given());
    const auto plan = PlanBrains(options, lineup);
    ASSERT_TRUE(plan) << plan.Reason();
    EXPECT_EQ(plan->brains, (std::array<std::string, 10>{"hold", "hold", "runner", "hold", "hold", "random", "random",
                                                         "random", "runner", "random"}));

    BrainOptions redOnly;
    redOnly.teams[1] = "hold";
    const auto red = PlanBrains(redOnly, lineup);
    ASSERT_TRUE(red);
    EXPECT_EQ(red->brains, (std::array<std::string, 10>{"", "", "", "", "", "hold", "hold", "hold", "hold", "hold"}));
    EXPECT_FALSE(BrainOptions().Given());
}

} // namespace tryzone
