#include "view/MatchView.h"

#include "agent/AgentMatch.h"
#include "picture/CairoPicture.h"

#include <SFML/Graphics/RenderWindow.hpp>
#include <SFML/Window/Event.hpp>
#include <cstdlib>
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
        const char* display = std::getenv("DISPLAY");
        if (display == nullptr || *display == '\0')
        {
            throw std::runtime_error("no display to show the match in (DISPLAY is not set): run under xvfb-run, or "
                                     "ask for render_mode='rgb_array', which needs none");
        }
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
    if (!painter)
    {
        auto font = FindFontFile();
        auto made = font ? CairoPicture::Make(*font) : Expected<std::unique_ptr<CairoPicture>>(font.Error());
        if (!made)
        {
            throw std::runtime_error(made.Reason());
        }
        painter = std::move(*made);
    }
    match.Picture(picture);
    painter->Draw(picture);
    return painter->Rgb();
}

void MatchView::Close()
{
    window.reset();
    painter.reset();
    prepared = nullptr;
}

} // namespace tryzone
