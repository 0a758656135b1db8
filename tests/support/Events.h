#pragma once

#include <SFML/Window/Event.hpp>

namespace tryzone
{

// Window events as the game receives them, already mapped to pitch coordinates.

inline sf::Event Button(sf::Event::EventType type, sf::Mouse::Button button, int x, int y)
{
    sf::Event event{};
    event.type = type;
    event.mouseButton.button = button;
    event.mouseButton.x = x;
    event.mouseButton.y = y;
    return event;
}

inline sf::Event Click(sf::Mouse::Button button, sf::Vector2f at)
{
    return Button(sf::Event::MouseButtonPressed, button, static_cast<int>(at.x), static_cast<int>(at.y));
}

inline sf::Event Key(sf::Keyboard::Key code, sf::Event::EventType type = sf::Event::KeyPressed)
{
    sf::Event event{};
    event.type = type;
    event.key.code = code;
    return event;
}

} // namespace tryzone
