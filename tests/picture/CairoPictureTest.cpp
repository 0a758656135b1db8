#include "picture/CairoPicture.h"

#include "core/SfmlPicture.h"
#include "run/ReplayPictures.h"
#include "support/Display.h"
#include "support/HeadlessWorld.h"
#include "support/MatchPicture.h"
#include "support/PictureCompare.h"

#include <SFML/Graphics/Image.hpp>
#include <SFML/Graphics/RenderTexture.hpp>
#include <algorithm>
#include <cstdlib>
#include <gtest/gtest.h>

namespace tryzone
{

namespace
{
// A frame of a seeded match, debug marks included, as the window would show it.
FramePicture SeededFrame(std::size_t& marksFrom, std::int64_t frame)
{
    Recording recording;
    recording.seed = 11;
    recording.players = Defaults();
    recording.lastFrame = 2000;
    PictureSpan span;
    span.from = frame;
    span.to = frame;
    span.debugMarks = true;
    FramePicture shown;
    PlayPictures(recording, span,
                 [&](const ReplayFrame& played)
                 {
                     shown = *played.picture;
                     marksFrom = played.marksFrom;
                     return true;
                 });
    return shown;
}

struct Rgb
{
    int r, g, b;
};

class CairoPictureTest : public HeadlessWorld
{
protected:
    void SetUp() override
    {
        HeadlessWorld::SetUp();
        auto made = CairoPicture::Make(TRYZONE_FONT_PATH);
        ASSERT_TRUE(made) << made.Reason();
        painter = std::move(*made);
        // Players bunched on the ball, with marks over them, make a busy picture to compare.
        picture = SeededFrame(marksFrom, 900);
    }

    [[nodiscard]] Rgb At(const std::vector<std::uint8_t>& rgb, int x, int y) const
    {
        const std::size_t at = (static_cast<std::size_t>(y) * 1280 + static_cast<std::size_t>(x)) * 3;
        return {rgb[at], rgb[at + 1], rgb[at + 2]};
    }

    std::unique_ptr<CairoPicture> painter;
    FramePicture picture;
    std::size_t marksFrom = 0;
};

} // namespace

TEST_F(CairoPictureTest, WithoutADisplayTheFrameShowsThePitchThePlayersAndTheScores)
{
    ASSERT_FALSE(picture.shapes.empty());
    EXPECT_GT(picture.shapes.size(), marksFrom);
    // Just after the kick-off, every player on his spot.
    picture = SeededFrame(marksFrom, 2);
    EXPECT_GT(picture.shapes.size(), marksFrom); // the marks: states, numbers, rings, lanes
    picture.shapes.resize(marksFrom);
    painter->Draw(picture);
    const auto rgb = painter->Rgb();
    const Rgb inGoal = At(rgb, 40, 710);
    EXPECT_EQ(std::tie(inGoal.r, inGoal.g, inGoal.b), std::make_tuple(90, 151, 21));
    const Rgb field = At(rgb, 640, 716);
    EXPECT_EQ(std::tie(field.r, field.g, field.b), std::make_tuple(112, 189, 26));
    const Rgb tryLine = At(rgb, 128, 716);
    EXPECT_GT(tryLine.g, 220); // white at 200 of 255 over the seam

    // Each player's centre in his team's colour, but the carrier's under the ball.
    int players = 0;
    int own = 0;
    for (const PictureShape& shape : picture.shapes)
    {
        if (shape.kind != ShapeKind::Circle || shape.x2 < 16.f)
        {
            continue;
        }
        ++players;
        const Rgb centre = At(rgb, static_cast<int>(shape.x + shape.x2), static_cast<int>(shape.y + shape.x2));
        const bool ball = centre.r == 255 && centre.g == 255 && centre.b == 0;
        const bool team = centre.g == 0 && (centre.r == 255) != (centre.b == 255);
        EXPECT_TRUE(ball || team);
        own += centre.r == shape.color.r && centre.g == shape.color.g && centre.b == shape.color.b ? 1 : 0;
    }
    EXPECT_EQ(players, 10);
    EXPECT_EQ(own, 9);

    // "Score Bleu : 0" in red from (20, 10), "Score Rouge : " from (1050, 10).
    for (const int left : {20, 1050})
    {
        int red = 0;
        for (int y = 10; y < 35; ++y)
        {
            for (int x = left; x < left + 150; ++x)
            {
                const Rgb pixel = At(rgb, x, y);
                red += pixel.r > 180 && pixel.g < 90 ? 1 : 0;
            }
        }
        EXPECT_GT(red, 100) << left;
    }
    const auto png = painter->Png();
    ASSERT_TRUE(png);
    EXPECT_EQ(png->substr(1, 3), "PNG");
}

// The window's drawing and cairo's agree but for anti-aliasing, which only touches edges: cairo smooths the circles'
// and lines' edges and the glyphs, the window's off-screen drawing does not. Away from the window's edges the two are
// the same colour; near them, measured: 0.7% of the pixels differ by more than 64 in a channel, and the mean difference
// is 1.3 of 255. Anything drawn by one and not the other (a stray line, a shape moved, a colour) shows away from the
// edges, or raises the counts past the tolerance.
TEST_F(CairoPictureTest, TheHeadlessPictureMatchesTheWindowsOneButForAntiAliasing)
{
    TRYZONE_REQUIRE_DISPLAY_OR_SKIP();
    painter->Draw(picture);
    const auto cairo = painter->Rgb();

    sf::RenderTexture target;
    ASSERT_TRUE(target.create(1280, 720));
    ASSERT_TRUE(host.assetDirectory.empty());
    host.assetDirectory = std::filesystem::path(TRYZONE_FONT_PATH).parent_path().string() + "/";
    ASSERT_TRUE(host.LoadFont());
    target.clear(sf::Color::Black);
    SfmlPicture window;
    window.Draw(target, picture, host.DefaultFont());
    target.display();
    const sf::Image image = target.getTexture().copyToImage();

    const PictureDifference difference = Compare(image, cairo);
    EXPECT_EQ(difference.awayFromEdges, 0);
    EXPECT_LT(difference.farShare, 0.01);
    EXPECT_LT(difference.mean, 1.6);
}

} // namespace tryzone
