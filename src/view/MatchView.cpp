#include "view/MatchView.h"

#include "agent/AgentMatch.h"

#include <SFML/Graphics/Image.hpp>
#include <SFML/Graphics/RenderTexture.hpp>
#include <SFML/Graphics/RenderWindow.hpp>
#include <SFML/Window/Event.hpp>
#include <stdexcept>

namespace tryzone
{

namespace
{
// Where Debian's fonts-hack-ttf puts the game's font.
constexpr const char* kFontDirectory = "/usr/share/fonts/truetype/hack/";
} // namespace

MatchView::MatchView(bool showInWindow) : inWindow(showInWindow) {}

MatchView::~MatchView() = default;

void MatchView::Follow(AgentMatch& match)
{
    // The overlay only keeps what is asked while it is on, so the first picture of a match shows its entities and
    // the next ones everything.
    if (prepared != &match)
    {
        match.Show(kFontDirectory);
        prepared = &match;
    }
}

bool MatchView::Show(AgentMatch& match)
{
    if (!inWindow)
    {
        return false;
    }
    Follow(match);
    if (!window || !window->isOpen())
    {
        window = std::make_unique<sf::RenderWindow>(sf::VideoMode(kWidth, kHeight, 32), "TryZone");
    }
    sf::Event event;
    while (window->pollEvent(event))
    {
        if (event.type == sf::Event::Closed)
        {
            window->close();
            return true;
        }
    }
    match.Draw(*window);
    window->display();
    return true;
}

std::vector<std::uint8_t> MatchView::Picture(AgentMatch& match)
{
    Follow(match);
    if (!texture)
    {
        texture = std::make_unique<sf::RenderTexture>();
        if (!texture->create(kWidth, kHeight))
        {
            texture.reset();
            throw std::runtime_error("no off-screen picture can be drawn here (is there a display?)");
        }
    }
    match.Draw(*texture);
    texture->display();
    const sf::Image image = texture->getTexture().copyToImage();
    const std::uint8_t* rgba = image.getPixelsPtr();
    std::vector<std::uint8_t> rgb(std::size_t{kWidth} * kHeight * 3);
    for (std::size_t pixel = 0; pixel < std::size_t{kWidth} * kHeight; ++pixel)
    {
        rgb[3 * pixel] = rgba[4 * pixel];
        rgb[3 * pixel + 1] = rgba[4 * pixel + 1];
        rgb[3 * pixel + 2] = rgba[4 * pixel + 2];
    }
    return rgb;
}

void MatchView::Close()
{
    window.reset();
    texture.reset();
    prepared = nullptr;
}

} // namespace tryzone
