#include "reports/Heatmap.h"

#include "run/MatchRunner.h"

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

} // namespace tryzone
