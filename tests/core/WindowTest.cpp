#include "support/Display.h"
#include "support/HeadlessWorld.h"
#include "support/X11.h"

#include <SFML/Graphics/RenderWindow.hpp>
#include <SFML/Window/Event.hpp>
#include <gtest/gtest.h>

namespace tryzone
{

namespace
{
// Asks its own window to close, as a person would with the close button, once a few frames have run.
class ClosingScene : public Scene
{
public:
    void Initialize() override {}

    void HandleEvent(const sf::Event& event) override
    {
        if (event.type == sf::Event::Closed)
        {
            ++closedEvents;
            windowOpenWhenClosedArrived = host->Window()->isOpen();
            updatesWhenClosedArrived = updates;
        }
    }

    void Update() override
    {
        ++updates;
        if (updates == 1)
        {
            title = x11::WindowTitle(host->Window()->getSystemHandle());
        }
        if (updates == 3)
        {
            x11::SendCloseRequest(host->Window()->getSystemHandle());
        }
        if (updates > 600)
        {
            host->Window()->close(); // the request never arrived; end the test instead of hanging
        }
    }

    int updates = 0;
    int closedEvents = 0;
    int updatesWhenClosedArrived = -1;
    bool windowOpenWhenClosedArrived = true;
    std::string title;
};

class WindowTest : public HeadlessWorld
{
protected:
    void SetUp() override
    {
        TRYZONE_REQUIRE_DISPLAY_OR_SKIP();
        ResetWorld();
        DebugOverlay::SetEnabled(true);
    }
};
} // namespace

TEST_F(WindowTest, OpensWithTheRequestedTitleAndSize)
{
    host.OpenWindow(1280, 720, "TryZone", 60);
    ASSERT_NE(host.Window(), nullptr);
    EXPECT_EQ(host.Window()->getSize(), sf::Vector2u(1280, 720));
    EXPECT_EQ(x11::WindowTitle(host.Window()->getSystemHandle()), "TryZone");
    EXPECT_EQ(host.WindowWidth(), 1280);
    EXPECT_EQ(host.WindowHeight(), 720);

    // The layout keeps the creation size after a resize.
    host.Window()->setSize({800, 600});
    EXPECT_EQ(host.WindowWidth(), 1280);
    EXPECT_EQ(host.WindowHeight(), 720);
}

TEST_F(WindowTest, ACloseRequestEndsTheRunAfterThatFrame)
{
    host.OpenWindow(1280, 720, "TryZone", 60);
    host.assetDirectory = "/nonexistent-folder/"; // a missing font is not an error
    host.LaunchScene<ClosingScene>();
    auto& scene = *static_cast<ClosingScene*>(host.CurrentScene());

    host.Run();

    EXPECT_EQ(scene.closedEvents, 1);
    EXPECT_FALSE(scene.windowOpenWhenClosedArrived); // the host closed the window before passing the event on
    EXPECT_EQ(scene.updates, scene.updatesWhenClosedArrived + 1);
    EXPECT_FALSE(host.Window()->isOpen());
    EXPECT_GT(host.FrameTime(), 0.f);
    EXPECT_LE(host.FrameTime(), kMaxFrameTime);
}

TEST_F(WindowTest, RunWithoutAWindowOpensTheDefaultOne)
{
    host.LaunchScene<ClosingScene>();
    EXPECT_EQ(host.WindowWidth(), -1);
    EXPECT_EQ(host.CurrentScene()->WindowWidth(), -1);

    testing::internal::CaptureStdout();
    host.Run();
    const std::string out = testing::internal::GetCapturedStdout();

    EXPECT_EQ(out, "Window not created, creating default window\n");
    EXPECT_EQ(static_cast<ClosingScene*>(host.CurrentScene())->title, "Default window");
    EXPECT_EQ(host.WindowWidth(), 1280);
    EXPECT_EQ(host.WindowHeight(), 720);
}

} // namespace tryzone
