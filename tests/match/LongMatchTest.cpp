#include "core/Random.h"
#include "support/Files.h"
#include "support/TestMatch.h"

#include <cmath>
#include <gtest/gtest.h>

// Half an hour of simulated play from the real set-up, checking what must hold in every frame.
TEST(LongMatch, HalfAnHourKeepsPossessionLanesAndPositionsSound)
{
    ResetWorld();
    WorkingInTemporaryFolder folder;
    GameHost& host = GameHost::Instance();
    host.UseHeadless(1280, 720);
    host.SetFrameTime(kMaxFrameTime);
    SeedRandom(30);
    testing::internal::CaptureStdout();
    testing::internal::CaptureStderr();
    host.LaunchScene<RugbyScene>();
    testing::internal::GetCapturedStdout();
    testing::internal::GetCapturedStderr();
    auto& scene = *static_cast<RugbyScene*>(host.CurrentScene());

    const int frames = static_cast<int>(30.f * 60.f / kMaxFrameTime);
    for (int frame = 0; frame < frames; ++frame)
    {
        host.Update();
        ASSERT_EQ(scene.ball->holder, scene.ballCarrier) << "frame " << frame;
        for (const Player* player : scene.players)
        {
            const sf::Vector2f centre = player->PositionAt(0.5f, 0.5f);
            ASSERT_TRUE(std::isfinite(centre.x) && std::isfinite(centre.y)) << "frame " << frame;
            // The clamp runs before the movement step, so a centre may stand one step outside its lane.
            const float step = player->speed * kMaxFrameTime + 1e-3f;
            ASSERT_GE(centre.y, player->laneTop - step) << "frame " << frame << " slot " << int(player->number);
            ASSERT_LE(centre.y, player->laneBottom + step) << "frame " << frame << " slot " << int(player->number);
        }
        const sf::Vector2f ball = scene.ball->PositionAt(0.5f, 0.5f);
        ASSERT_TRUE(std::isfinite(ball.x) && std::isfinite(ball.y)) << "frame " << frame;
    }
    EXPECT_GT(scene.redScore, 0);
    EXPECT_GT(scene.blueScore, 0);
    ResetWorld();
}
