#include "reports/Heatmap.h"

#include "picture/CairoPicture.h"
#include "run/MatchRunner.h"
#include "run/ReplayPictures.h"
#include "support/HeadlessWorld.h"
#include "support/MatchPicture.h"

#include <SFML/Graphics/Image.hpp>
#include <functional>
#include <gtest/gtest.h>

namespace tryzone
{

namespace
{
const sf::Color kBusiest(200, 0, 0);

// Pixels of one colour in the rows [top, bottom).
int Count(const sf::Image& image, unsigned top, unsigned bottom, const std::function<bool(sf::Color)>& matches)
{
    int found = 0;
    for (unsigned y = top; y < bottom; ++y)
    {
        for (unsigned x = 0; x < image.getSize().x; ++x)
        {
            found += matches(image.getPixel(x, y)) ? 1 : 0;
        }
    }
    return found;
}

bool Ink(sf::Color colour)
{
    return colour.r < 90 && colour.g < 90 && colour.b < 90;
}
} // namespace

// Drawn and lettered in this process, which has no display: the text comes from the font file alone.
TEST(Heatmap, ThePitchKeepsItsLookBetweenTheCaptionTheDirectionsAndTheScale)
{
    Heatmap heatmap(kPitchWidth, kPitchHeight);
    for (int frame = 0; frame < 1000; ++frame)
    {
        heatmap.Add({641.f, 361.f}); // the centre square: pitch pixels 640 to 643, picture pixels 320 and 321
    }
    heatmap.Add({10.f, 10.f});
    const std::string png = heatmap.EncodePng({3, 42});
    ASSERT_EQ(png.substr(0, 8), "\x89PNG\r\n\x1a\n");
    sf::Image image;
    ASSERT_TRUE(image.loadFromMemory(png.data(), png.size()));

    // The busiest square, the first deep red from the top, places the half-size pitch in the picture.
    unsigned left = 0;
    unsigned top = 0;
    for (unsigned y = 0; y < image.getSize().y && top == 0; ++y)
    {
        for (unsigned x = 0; x < image.getSize().x && top == 0; ++x)
        {
            if (image.getPixel(x, y) == kBusiest)
            {
                left = x - 320;
                top = y - 180;
            }
        }
    }
    ASSERT_GT(top, 0u) << "no busiest square drawn";
    const unsigned bottom = top + kPitchHeight / 2;
    ASSERT_GT(image.getSize().y, bottom + 40);
    EXPECT_EQ(image.getPixel(left, top), sf::Color(90, 151, 21));                    // in-goal
    EXPECT_EQ(image.getPixel(left + 100, top + 100), sf::Color(112, 189, 26));       // field of play
    EXPECT_NE(image.getPixel(left + 4, top + 4), sf::Color(90, 151, 21));            // one frame shows
    EXPECT_EQ(image.getPixel(left + 4, top + 4), image.getPixel(left + 5, top + 5)); // one square, 2 x 2 pixels

    // Above the pitch the title, the caption and blue's arrow; below it red's arrow and the scale, up to the busiest
    // colour, with its labels.
    EXPECT_GT(Count(image, 0, top, Ink), 500);
    EXPECT_GT(Count(image, 0, top, [](sf::Color c) { return c == sf::Color(20, 40, 220); }), 1000);
    EXPECT_GT(Count(image, bottom, image.getSize().y, [](sf::Color c) { return c == sf::Color(210, 20, 20); }), 1000);
    EXPECT_GT(Count(image, bottom, image.getSize().y, [](sf::Color c) { return c.r >= 195 && c.g < 10; }), 20);
    EXPECT_GT(Count(image, bottom, image.getSize().y, Ink), 300);

    // The same counts give the same bytes, and the caption follows the run it describes.
    EXPECT_EQ(heatmap.EncodePng({3, 42}), png);
    EXPECT_NE(heatmap.EncodePng({3, 43}), png);
    EXPECT_NE(heatmap.EncodePng({4, 42}), png);
    const Heatmap empty(kPitchWidth, kPitchHeight);
    EXPECT_EQ(empty.EncodePng({0, 1}).substr(0, 8), "\x89PNG\r\n\x1a\n");
}

// The heat map draws the pitch the match draws: the frame's own picture, drawn by cairo, shows the same colours on
// the same columns wherever it is one colour over a 2 x 2 square of the map.
class HeatmapPitch : public HeadlessWorld
{
};

TEST_F(HeatmapPitch, IsTheFramesPitchAtHalfSize)
{
    Recording recording;
    recording.seed = 3;
    recording.players = Defaults();
    recording.lastFrame = 2;
    FramePicture frame;
    PlayPictures(recording, {1, 1, 1, false},
                 [&](const ReplayFrame& played)
                 {
                     frame = *played.picture;
                     return false;
                 });
    auto painter = CairoPicture::Make(TRYZONE_FONT_PATH);
    ASSERT_TRUE(painter) << painter.Reason();
    (*painter)->Draw(frame);
    const auto shown = (*painter)->Rgb();
    const auto pixel = [&](int x, int y)
    {
        const std::size_t at = (static_cast<std::size_t>(y) * kPitchWidth + static_cast<std::size_t>(x)) * 3;
        return sf::Color(shown[at], shown[at + 1], shown[at + 2]);
    };

    const std::string png = Heatmap(kPitchWidth, kPitchHeight).EncodePng({1, 3});
    sf::Image map;
    ASSERT_TRUE(map.loadFromMemory(png.data(), png.size()));
    // The pitch's top-left corner, in-goal.
    unsigned left = 0;
    unsigned top = 0;
    for (unsigned at = 0; at < map.getSize().x * map.getSize().y && top == 0; ++at)
    {
        if (map.getPixel(at % map.getSize().x, at / map.getSize().x) == kInGoal)
        {
            left = at % map.getSize().x;
            top = at / map.getSize().x;
        }
    }
    ASSERT_GT(top, 0u);
    int compared = 0;
    for (int x = 0; x < kPitchWidth / 2; ++x)
    {
        // The bottom row, below every player at the kick-off.
        const sf::Color colour = pixel(2 * x, kPitchHeight - 2);
        if (pixel(2 * x + 1, kPitchHeight - 2) != colour || pixel(2 * x, kPitchHeight - 1) != colour)
        {
            continue; // an edge, which cairo smooths
        }
        ++compared;
        const sf::Color drawn = map.getPixel(left + static_cast<unsigned>(x), top + kPitchHeight / 2 - 1);
        EXPECT_LE(std::abs(drawn.r - colour.r) + std::abs(drawn.g - colour.g) + std::abs(drawn.b - colour.b), 2)
            << "column " << x;
    }
    EXPECT_GT(compared, 600);
}

} // namespace tryzone
