#include "core/DebugOverlay.h"

#include "support/Display.h"
#include "support/HeadlessWorld.h"

#include <SFML/Graphics/Image.hpp>
#include <SFML/Graphics/RenderTexture.hpp>
#include <SFML/Graphics/Text.hpp>
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

void ExpectLine(const PictureShape& line, sf::Vector2f from, sf::Vector2f to, sf::Color color)
{
    EXPECT_EQ(line.kind, ShapeKind::Line);
    EXPECT_EQ(sf::Vector2f(line.x, line.y), from);
    EXPECT_EQ(sf::Vector2f(line.x2, line.y2), to);
    EXPECT_EQ(line.color, ToPicture(color));
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

    const PictureShape& filled = overlay.foregroundCircles[0];
    EXPECT_EQ(sf::Vector2f(filled.x, filled.y), sf::Vector2f(90.f, 40.f));
    EXPECT_EQ(filled.x2, 10.f);
    EXPECT_EQ(filled.points, 30u);
    EXPECT_EQ(filled.color, ToPicture(sf::Color::Magenta));
    EXPECT_EQ(filled.outline, ToPicture(sf::Color::White)); // the shape's default outline shows around the fill
    EXPECT_EQ(filled.thickness, 1.f);

    const PictureShape& ring = overlay.foregroundCircles[1];
    EXPECT_EQ(ring.color, ToPicture(sf::Color::Transparent));
    EXPECT_EQ(ring.outline, ToPicture(sf::Color::Red));
    EXPECT_EQ(ring.thickness, 2.f);
    EXPECT_EQ(sf::Vector2f(ring.x, ring.y), sf::Vector2f(25.f, -25.f));
}

TEST_F(DebugOverlayTest, ALayerJoinsThePictureKindByKindWithItsTexts)
{
    // Requested rectangle first, line last: drawn lines, texts, circles, rectangles, whatever the request order.
    DebugOverlay::DrawRectangle({0.f, 0.f}, {5.f, 5.f}, sf::Color::Red, DebugLayer::Foreground, true);
    DebugOverlay::DrawCircle(5.f, 5.f, 3.f, sf::Color::Red, false, 1.f, DebugLayer::Foreground);
    DebugOverlay::DrawText(1.f, 2.f, "Attack", 0.5f, 0.5f, sf::Color::Red, DebugLayer::Foreground);
    DebugOverlay::DrawText(1.f, 2.f, "Background", sf::Color::Red, DebugLayer::Background);
    DebugOverlay::DrawText(3.f, 4.f, "7", sf::Color::White, DebugLayer::Foreground);
    DebugOverlay::DrawLine(0.f, 0.f, 1.f, 1.f, sf::Color::Red, DebugLayer::Foreground);
    FramePicture picture;
    picture.Add(PictureShape{}, "kept");
    overlay.AppendTo(picture, DebugLayer::Foreground);
    ASSERT_EQ(picture.shapes.size(), 6u);
    const ShapeKind order[] = {ShapeKind::Line, ShapeKind::Line,   ShapeKind::Text,
                               ShapeKind::Text, ShapeKind::Circle, ShapeKind::Rectangle};
    for (std::size_t i = 0; i < picture.shapes.size(); ++i)
    {
        EXPECT_EQ(picture.shapes[i].kind, order[i]) << i;
    }
    EXPECT_EQ(picture.Text(picture.shapes[0]), "kept");
    EXPECT_EQ(picture.Text(picture.shapes[2]), "Attack");
    EXPECT_EQ(picture.Text(picture.shapes[3]), "7");
    EXPECT_EQ(picture.shapes[2].size, 20u);

    // Emptied, the layer gives nothing, and the next frame's texts start afresh.
    overlay.Clear();
    EXPECT_TRUE(overlay.foregroundCharacters.empty() && overlay.backgroundCharacters.empty());
    DebugOverlay::DrawText(3.f, 4.f, "Pass", sf::Color::White, DebugLayer::Foreground);
    picture.Clear();
    overlay.AppendTo(picture, DebugLayer::Foreground);
    ASSERT_EQ(picture.shapes.size(), 1u);
    EXPECT_EQ(picture.Text(picture.shapes[0]), "Pass");
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

    overlay.Flush(*target, DebugLayer::Foreground);
    EXPECT_TRUE(overlay.foregroundTexts.empty());

    // The centred text's bounds, centred on (100, 60) up to their offsets; the corner text from (20, 10) on.
    sf::Text centred("Attack", host.DefaultFont(), 20);
    const sf::FloatRect bounds = centred.getLocalBounds();
    const float left = 100.f - bounds.width * 0.5f + bounds.left;
    const float top = 60.f - bounds.height * 0.5f + bounds.top;
    target->display();
    const sf::Image image = target->getTexture().copyToImage();
    const auto inkBetween = [&image](float x0, float y0, float x1, float y1)
    {
        int ink = 0;
        for (auto y = static_cast<unsigned>(y0); y < static_cast<unsigned>(y1); ++y)
        {
            for (auto x = static_cast<unsigned>(x0); x < static_cast<unsigned>(x1); ++x)
            {
                ink += image.getPixel(x, y).r > 128 ? 1 : 0;
            }
        }
        return ink;
    };
    EXPECT_GT(inkBetween(left, top, left + bounds.width, top + bounds.height), 20);
    EXPECT_EQ(inkBetween(left - 6.f, top, left - 1.f, top + bounds.height), 0);
    EXPECT_EQ(inkBetween(left + bounds.width + 1.f, top, left + bounds.width + 6.f, top + bounds.height), 0);
    EXPECT_GT(inkBetween(20.f, 10.f, 60.f, 40.f), 20);
    EXPECT_EQ(inkBetween(0.f, 0.f, 19.f, 40.f), 0);
}

} // namespace tryzone
