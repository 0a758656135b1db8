#pragma once

#include "core/FramePicture.h"

#include <SFML/Graphics/CircleShape.hpp>
#include <SFML/Graphics/RectangleShape.hpp>
#include <SFML/Graphics/Text.hpp>
#include <string>
#include <vector>

namespace sf
{
class Font;
class RenderTarget;
} // namespace sf

namespace tryzone
{

// Draws a frame's picture with SFML, shape by shape in its order, each with the default render states. The drawables
// are kept from frame to frame and a text is laid out again only when its characters change, so a steady stream of
// pictures allocates nothing.
class SfmlPicture
{
public:
    // Draws the shapes over what the target holds; clearing to the picture's clear colour is the caller's choice.
    void Draw(sf::RenderTarget& target, const FramePicture& picture, const sf::Font& font);

private:
    void DrawText(sf::RenderTarget& target, const FramePicture& picture, const PictureShape& shape,
                  const sf::Font& font, std::size_t index);

    sf::CircleShape circle;
    sf::RectangleShape rectangle;
    std::vector<sf::Text> texts;
    std::vector<std::string> laidOut; // each kept text's characters
};

} // namespace tryzone
