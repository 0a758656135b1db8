#include "core/Random.h"
#include "support/TestMatch.h"

#include <gtest/gtest.h>

namespace tryzone
{

using MatchPlay = MatchWorld;

// The typical play: from a red kick-off the carrier runs, passes when pressed, and the blues tackle.
TEST_F(MatchPlay, FromKickOffTheBallIsPassedAndTackled)
{
    SeedRandom(2024);
    BuildKickOff(7);
    Step(); // everyone joins the live list

    int passes = 0;
    int tackles = 0;
    for (int frame = 0; frame < 20000 && (passes == 0 || tackles == 0); ++frame)
    {
        Player* before = scene->ballCarrier;
        Step();
        Player* after = scene->ballCarrier;
        ASSERT_EQ(scene->ball->holder, after) << "frame " << frame;
        const bool tackled = after->team != before->team;
        // A tackle happens in the collision pass, after the ball has moved: it joins the tackler next frame.
        if (!tackled)
        {
            ASSERT_EQ(scene->ball->PositionAt(0.5f, 0.5f), after->PositionAt(0.5f, 0.5f)) << "frame " << frame;
        }
        if (after != before)
        {
            (tackled ? tackles : passes) += 1;
        }
    }
    EXPECT_GT(passes, 0);
    EXPECT_GT(tackles, 0);
}

} // namespace tryzone
