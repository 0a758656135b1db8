#pragma once

#include <SFML/System/Vector2.hpp>

namespace sf
{
class Event;
class View;
} // namespace sf

namespace tryzone
{

// The whole-pixel pitch point under a window pixel, through the view the window draws with: after a resize the
// picture is stretched while the match keeps its creation-size layout. The identity while the window keeps that size.
[[nodiscard]] sf::Vector2i PixelToPitch(const sf::View& view, sf::Vector2u windowSize, sf::Vector2i pixel);

// The event with a mouse button's position moved from window pixels to the pitch; other events unchanged.
[[nodiscard]] sf::Event EventOnPitch(const sf::View& view, sf::Vector2u windowSize, const sf::Event& event);

} // namespace tryzone
