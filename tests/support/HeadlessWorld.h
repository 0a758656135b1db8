#pragma once

#include "core/DebugOverlay.h"
#include "core/GameHost.h"

#include <gtest/gtest.h>

namespace tryzone
{

// Returns the host and the overlay to their state at process start, with the overlay switched off.
inline void ResetWorld()
{
    GameHost::Instance().Reset();
    DebugOverlay::Instance().Clear();
    DebugOverlay::SetEnabled(false);
}

// A fresh world for every test: no window, a 1280 x 720 layout and the capped frame time.
class HeadlessWorld : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ResetWorld();
        host.UseHeadless(1280, 720);
        host.SetFrameTime(kMaxFrameTime);
    }

    void TearDown() override { ResetWorld(); }

    void Step(int frames = 1)
    {
        for (int i = 0; i < frames; ++i)
        {
            host.Update();
        }
    }

    GameHost& host = GameHost::Instance();
};

} // namespace tryzone
