#pragma once

#include <cstdint>
#include <string>

namespace sf
{
class RenderWindow;
}

namespace tryzone
{

// Lines of white text on a dark panel at the top left of the match, the panel at least 200 pixels wide: the way the
// game shows the key help and the settings.
struct TextPanelStyle
{
    unsigned characterSize = 16;
    std::uint8_t shade = 200; // the panel's opacity
};

void DrawTextPanel(sf::RenderWindow& window, const std::string& text, TextPanelStyle style);

} // namespace tryzone
