#pragma once

#include <SFML/System/Clock.hpp>
#include <string>

class MatchTimeline;
class PlaybackControls;

namespace sf
{
class RenderWindow;
}

// What the status line says: seed, match clock, speed, pause, and possession, passes and tackles per team.
[[nodiscard]] std::string StatusText(const MatchTimeline& timeline, const PlaybackControls& controls);

// A strip along the bottom of the window, drawn over the match after everything else; with H, or for a few seconds
// after a message.
class StatusLine
{
public:
    void Say(std::string text);
    void Draw(sf::RenderWindow& window, const MatchTimeline& timeline, const PlaybackControls& controls);

private:
    std::string message;
    sf::Clock messageAge;
};
