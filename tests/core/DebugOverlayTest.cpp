#include "core/DebugOverlay.h"

#include "support/Display.h"
#include "support/HeadlessWorld.h"

#include <SFML/Graphics/RenderTexture.hpp>
#include <filesystem>
#include <gtest/gtest.h>
#include <memory>

namespace tryzone
{

namespace
{
class DebugOverlayTest : public HeadlessWorld
{
protected:
    void SetUp() override
    {
        HeadlessWorld::SetUp();
        DebugOverlay::SetEnabled(true);
    }

    DebugOverlay& overlay = DebugOverlay::Instance();
};

void ExpectLine(const DebugLine& line, sf::Vector2f from, sf::Vector2f to, sf::Color color)
{
    EXPECT_EQ(line.vertices[0].position, from);
    EXPECT_EQ(line.vertices[1].position, to);
    EXPECT_EQ(line.vertices[0].color, color);
    EXPECT_EQ(line.vertices[1].color, color);
    EXPECT_EQ(line.vertices[0].texCoords, sf::Vector2f(0.f, 0.f));
}
} // namespace

TEST_F(DebugOverlayTest, RequestsLandOnTheirOwnLayerOnly)
{
    DebugOverlay::DrawLine(0.f, 0.f, 10.f, 10.f, sf::Color::Red, DebugLayer::Background);
    DebugOverlay::DrawCircle(5.f, 5.f, 3.f, sf::Color::Red, false, 1.f, DebugLayer::Foreground);
    DebugOverlay::DrawRectangle({0.f, 0.f}, {5.f, 5.f}, sf::Color::Red, DebugLayer::Foreground, true);
    EXPECT_EQ(overlay.backgroundLines.size(), 1u);
    EXPECT_TRUE(overlay.foregroundLines.empty());
    EXPECT_EQ(overlay.foregroundCircles.size(), 1u);
    EXPECT_TRUE(overlay.backgroundCircles.empty());
    EXPECT_EQ(overlay.foregroundRectangles.size(), 1u);
    EXPECT_TRUE(overlay.backgroundRectangles.empty());
}

TEST_F(DebugOverlayTest, AValueThatNamesNoLayerQueuesNothing)
{
    const auto nowhere = static_cast<DebugLayer>(2);
    DebugOverlay::DrawLine(0.f, 0.f, 10.f, 10.f, sf::Color::Red, nowhere);
    DebugOverlay::DrawCircle(5.f, 5.f, 3.f, sf::Color::Red, true, 1.f, nowhere);
    DebugOverlay::DrawRectangle({0.f, 0.f}, {5.f, 5.f}, sf::Color::Red, nowhere, false);
    DebugOverlay::DrawRectangle({0.f, 0.f}, {5.f, 5.f}, sf::Color::Red, nowhere, true);
    EXPECT_TRUE(overlay.backgroundLines.empty() && overlay.foregroundLines.empty());
    EXPECT_TRUE(overlay.backgroundCircles.empty() && overlay.foregroundCircles.empty());
    EXPECT_TRUE(overlay.backgroundRectangles.empty() && overlay.foregroundRectangles.empty());
}

TEST_F(DebugOverlayTest, AnUnfilledRectangleIsFourLinesTopRightBottomLeft)
{
    DebugOverlay::DrawRectangle({10.f, 20.f}, {100.f, 50.f}, sf::Color::Green, DebugLayer::Foreground, false);
    ASSERT_EQ(overlay.foregroundLines.size(), 4u);
    EXPECT_TRUE(overlay.foregroundRectangles.empty());
    ExpectLine(overlay.foregroundLines[0], {10.f, 20.f}, {110.f, 20.f}, sf::Color::Green);
    ExpectLine(overlay.foregroundLines[1], {110.f, 20.f}, {110.f, 70.f}, sf::Color::Green);
    ExpectLine(overlay.foregroundLines[2], {110.f, 70.f}, {10.f, 70.f}, sf::Color::Green);
    ExpectLine(overlay.foregroundLines[3], {10.f, 70.f}, {10.f, 20.f}, sf::Color::Green);
}

TEST_F(DebugOverlayTest, CirclesAreCentredAndOutlinedAsAsked)
{
    DebugOverlay::DrawCircle(100.f, 50.f, 10.f, sf::Color::Magenta, false, 1.f, DebugLayer::Foreground);
    DebugOverlay::DrawCircle(100.f, 50.f, 75.f, sf::Color::Red, true, 2.f, DebugLayer::Foreground);
    ASSERT_EQ(overlay.foregroundCircles.size(), 2u);

    const sf::CircleShape& filled = overlay.foregroundCircles[0];
    EXPECT_EQ(filled.getPosition(), sf::Vector2f(90.f, 40.f));
    EXPECT_EQ(filled.getPointCount(), 30u);
    EXPECT_EQ(filled.getFillColor(), sf::Color::Magenta);
    EXPECT_EQ(filled.getOutlineColor(), sf::Color::White); // the shape's default outline shows around the fill
    EXPECT_EQ(filled.getOutlineThickness(), 1.f);
    const sf::FloatRect bounds = filled.getGlobalBounds();
    // The outline of a 30-point polygon reaches about one thickness beyond the radius.
    EXPECT_NEAR(bounds.left, 89.f, 0.1f);
    EXPECT_NEAR(bounds.width, 22.f, 0.2f);

    const sf::CircleShape& ring = overlay.foregroundCircles[1];
    EXPECT_EQ(ring.getFillColor(), sf::Color::Transparent);
    EXPECT_EQ(ring.getOutlineColor(), sf::Color::Red);
    EXPECT_EQ(ring.getOutlineThickness(), 2.f);
    EXPECT_EQ(ring.getPosition(), sf::Vector2f(25.f, -25.f));
}

TEST_F(DebugOverlayTest, SwitchedOffItDropsEveryRequest)
{
    DebugOverlay::SetEnabled(false);
    DebugOverlay::DrawLine(0.f, 0.f, 10.f, 10.f, sf::Color::Red, DebugLayer::Background);
    DebugOverlay::DrawRectangle({0.f, 0.f}, {5.f, 5.f}, sf::Color::Red, DebugLayer::Background, false);
    // A text would need a graphics context to be measured; switched off, none is ever built.
    DebugOverlay::DrawText(10.f, 10.f, "Score", 0.5f, 0.5f, sf::Color::Red, DebugLayer::Foreground);
    EXPECT_TRUE(overlay.backgroundLines.empty());
    EXPECT_TRUE(overlay.foregroundTexts.empty());
}

class DebugOverlayDisplayTest : public DebugOverlayTest
{
protected:
    void SetUp() override
    {
        DebugOverlayTest::SetUp();
        TRYZONE_REQUIRE_DISPLAY_OR_SKIP();
        // Built only now: any texture needs a graphics context, and SFML aborts without a display.
        target = std::make_unique<sf::RenderTexture>();
        ASSERT_TRUE(target->create(200, 200));
        target->clear(sf::Color::Black);
    }

    sf::Color PixelAt(unsigned x, unsigned y)
    {
        target->display();
        return target->getTexture().copyToImage().getPixel(x, y);
    }

    std::unique_ptr<sf::RenderTexture> target;
};

TEST_F(DebugOverlayDisplayTest, RectanglesCoverCirclesWhateverTheRequestOrder)
{
    DebugOverlay::DrawRectangle({0.f, 0.f}, {100.f, 100.f}, sf::Color::Red, DebugLayer::Background, true);
    DebugOverlay::DrawCircle(50.f, 50.f, 30.f, sf::Color::Blue, false, 0.f, DebugLayer::Background);
    DebugOverlay::DrawLine(0.f, 150.5f, 200.f, 150.5f, sf::Color::Green, DebugLayer::Background);
    DebugOverlay::DrawCircle(100.f, 150.f, 20.f, sf::Color::Blue, false, 0.f, DebugLayer::Background);
    overlay.Flush(*target, DebugLayer::Background);
    EXPECT_EQ(PixelAt(50, 50), sf::Color::Red);
    EXPECT_EQ(PixelAt(100, 150), sf::Color::Blue); // the circle covers the line
    EXPECT_EQ(PixelAt(10, 150), sf::Color::Green);
}

TEST_F(DebugOverlayDisplayTest, AFlushDrawsOneLayerOnceAndKeepsTheQueueStorage)
{
    DebugOverlay::DrawRectangle({0.f, 0.f}, {100.f, 100.f}, sf::Color::Red, DebugLayer::Background, true);
    DebugOverlay::DrawRectangle({100.f, 0.f}, {100.f, 100.f}, sf::Color::Blue, DebugLayer::Foreground, true);
    overlay.Flush(*target, static_cast<DebugLayer>(7));
    EXPECT_EQ(overlay.backgroundRectangles.size(), 1u);

    overlay.Flush(*target, DebugLayer::Background);
    EXPECT_TRUE(overlay.backgroundRectangles.empty());
    EXPECT_GE(overlay.backgroundRectangles.capacity(), 1u);
    EXPECT_EQ(overlay.foregroundRectangles.size(), 1u);
    EXPECT_EQ(PixelAt(50, 50), sf::Color::Red);
    EXPECT_EQ(PixelAt(150, 50), sf::Color::Black);

    // Not requested again: the next frame draws nothing for it.
    target->clear(sf::Color::Black);
    overlay.Flush(*target, DebugLayer::Background);
    EXPECT_EQ(PixelAt(50, 50), sf::Color::Black);
}

TEST_F(DebugOverlayDisplayTest, TextOriginFollowsTheRatiosOfItsBounds)
{
    host.assetDirectory = std::filesystem::path(TRYZONE_FONT_PATH).parent_path().string() + "/";
    ASSERT_TRUE(host.LoadFont());
    DebugOverlay::DrawText(100.f, 60.f, "Attack", 0.5f, 0.5f, sf::Color::Red, DebugLayer::Foreground);
    DebugOverlay::DrawText(20.f, 10.f, "Score Bleu : 0", sf::Color::Red, DebugLayer::Foreground);
    ASSERT_EQ(overlay.foregroundTexts.size(), 2u);

    const sf::Text& centred = overlay.foregroundTexts[0];
    const sf::FloatRect bounds = centred.getLocalBounds();
    EXPECT_EQ(centred.getCharacterSize(), 20u);
    EXPECT_EQ(centred.getFont(), &host.DefaultFont());
    EXPECT_EQ(centred.getPosition(), sf::Vector2f(100.f, 60.f));
    EXPECT_FLOAT_EQ(centred.getOrigin().x, bounds.width * 0.5f);
    EXPECT_FLOAT_EQ(centred.getOrigin().y, bounds.height * 0.5f);
    EXPECT_GT(bounds.width, 0.f);

    const sf::Text& corner = overlay.foregroundTexts[1];
    EXPECT_EQ(corner.getString().toAnsiString(), "Score Bleu : 0");
    EXPECT_EQ(corner.getOrigin(), sf::Vector2f(0.f, 0.f));
    EXPECT_EQ(corner.getFillColor(), sf::Color::Red);
}

} // namespace tryzone
