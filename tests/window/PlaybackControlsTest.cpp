#include "window/PlaybackControls.h"

#include "support/HeadlessWorld.h"
#include "support/MatchPicture.h"

#include <gtest/gtest.h>

namespace tryzone
{

namespace
{
class PlaybackControlsTest : public HeadlessWorld
{
};
} // namespace

TEST_F(PlaybackControlsTest, FasterSpeedsPlayTheSameFramesMoreToAPicture)
{
    MatchTimeline paced(7, Defaults(), nullptr);
    PlaybackControls controls;
    PlaybackControls::Command command;
    ASSERT_TRUE(controls.HandleKey(sf::Keyboard::Num3, command)); // x4
    for (int drawn = 0; drawn < 300; ++drawn)
    {
        // A slow clock must not make x4 steps longer: the frames are the same frames, four to a picture.
        PlayDrawnFrame(paced, controls, 0.02f, false, -1);
    }
    EXPECT_EQ(paced.Frame(), 1200);
    EXPECT_TRUE(paced.History().empty()) << "capped steps need no frame-time lines";

    // One match lives in the host at a time: starting another ends this one.
    const std::string pacedPicture = Picture(paced);
    MatchTimeline plain(7, Defaults(), nullptr);
    while (plain.Frame() < 1200)
    {
        plain.Advance(kMaxFrameTime);
    }
    EXPECT_EQ(pacedPicture, Picture(plain));
}

TEST_F(PlaybackControlsTest, PauseHoldsTheMatchAndAPeriodStepsOneFrame)
{
    MatchTimeline paused(7, Defaults(), nullptr);
    PlaybackControls controls;
    PlaybackControls::Command command;
    PlayDrawnFrame(paused, controls, kMaxFrameTime, false, -1);
    ASSERT_TRUE(controls.HandleKey(sf::Keyboard::Space, command));
    const std::string held = Picture(paused);
    for (int drawn = 0; drawn < 50; ++drawn)
    {
        PlayDrawnFrame(paused, controls, kMaxFrameTime, false, -1);
    }
    EXPECT_EQ(paused.Frame(), 1);
    EXPECT_EQ(Picture(paused), held);
    ASSERT_TRUE(controls.HandleKey(sf::Keyboard::Period, command));
    PlayDrawnFrame(paused, controls, kMaxFrameTime, false, -1);
    PlayDrawnFrame(paused, controls, kMaxFrameTime, false, -1);
    EXPECT_EQ(paused.Frame(), 2);
}

} // namespace tryzone
