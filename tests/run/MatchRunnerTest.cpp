#include "run/MatchRunner.h"

#include "core/GameHost.h"
#include "match/RugbyScene.h"
#include "support/HeadlessWorld.h"

#include <gtest/gtest.h>

namespace tryzone
{

namespace
{
class MatchRunnerTest : public HeadlessWorld
{
};
} // namespace

// The host holds one match. A second runner's start ends the first's match; the first, ended or destroyed later,
// must leave the second's match alone rather than empty the world under it.
TEST_F(MatchRunnerTest, AStartEndsAnyOtherRunnersMatchWhichThenLeavesTheHostAlone)
{
    const auto defaults = DefaultPlayers();
    const std::vector<PlayerSettings> players(defaults.begin(), defaults.end());
    MatchRunner second;
    {
        MatchRunner first;
        first.Start(players, 1, nullptr);
        first.Step(kMaxFrameTime);
        second.Start(players, 2, nullptr);
        EXPECT_FALSE(first.Running());
        EXPECT_EQ(first.Frame(), 0);
        first.End();
    }
    ASSERT_TRUE(second.Running());
    EXPECT_EQ(host.CurrentScene(), &second.Scene());
    for (int frame = 0; frame < 600; ++frame)
    {
        second.Step(kMaxFrameTime);
    }
    EXPECT_EQ(second.Frame(), 600);
    EXPECT_EQ(host.LiveEntities().size(), 11u);
}

} // namespace tryzone
