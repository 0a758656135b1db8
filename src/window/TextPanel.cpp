#include "window/TextPanel.h"

#include "core/GameHost.h"

#include <SFML/Graphics/RectangleShape.hpp>
#include <SFML/Graphics/RenderWindow.hpp>
#include <SFML/Graphics/Text.hpp>
#include <algorithm>

namespace tryzone
{

void DrawTextPanel(sf::RenderWindow& window, const std::string& text, TextPanelStyle style)
{
    sf::Text lines(text, GameHost::Instance().DefaultFont(), style.characterSize);
    lines.setFillColor(sf::Color::White);
    lines.setPosition(40.f, 60.f);
    const sf::FloatRect bounds = lines.getGlobalBounds();
    sf::RectangleShape panel({std::max(bounds.width, 200.f) + 40.f, bounds.height + 40.f});
    panel.setPosition(20.f, 40.f);
    panel.setFillColor(sf::Color(0, 0, 0, style.shade));
    window.draw(panel);
    window.draw(lines);
}

} // namespace tryzone
