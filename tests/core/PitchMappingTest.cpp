#include "core/PitchMapping.h"

#include <SFML/Graphics/View.hpp>
#include <SFML/Window/Event.hpp>
#include <gtest/gtest.h>

namespace tryzone
{

TEST(PitchMapping, EveryPixelOfTheCreationSizeIsItsOwnPitchPoint)
{
    const sf::View view(sf::FloatRect(0.f, 0.f, 1280.f, 720.f));
    int wrong = 0;
    for (int y = 0; y < 720; ++y)
    {
        for (int x = 0; x < 1280; ++x)
        {
            wrong += PixelToPitch(view, {1280, 720}, {x, y}) != sf::Vector2i(x, y) ? 1 : 0;
        }
    }
    EXPECT_EQ(wrong, 0);
}

TEST(PitchMapping, AStretchedWindowMapsBackToThePitchAndOnlyMouseButtonsMove)
{
    const sf::View view(sf::FloatRect(0.f, 0.f, 1280.f, 720.f));
    EXPECT_EQ(PixelToPitch(view, {640, 360}, {320, 180}), sf::Vector2i(640, 360));
    EXPECT_EQ(PixelToPitch(view, {1000, 900}, {500, 450}), sf::Vector2i(640, 360));
    EXPECT_EQ(PixelToPitch(view, {1000, 900}, {100, 800}), sf::Vector2i(128, 640));

    sf::Event click{};
    click.type = sf::Event::MouseButtonReleased;
    click.mouseButton = {sf::Mouse::Middle, 100, 800};
    const sf::Event mapped = EventOnPitch(view, {1000, 900}, click);
    EXPECT_EQ(mapped.mouseButton.button, sf::Mouse::Middle);
    EXPECT_EQ(sf::Vector2i(mapped.mouseButton.x, mapped.mouseButton.y), sf::Vector2i(128, 640));

    sf::Event moved{};
    moved.type = sf::Event::MouseMoved;
    moved.mouseMove = {100, 800};
    const sf::Event same = EventOnPitch(view, {1000, 900}, moved);
    EXPECT_EQ(sf::Vector2i(same.mouseMove.x, same.mouseMove.y), sf::Vector2i(100, 800));
}

} // namespace tryzone
