#pragma once

#include <SFML/System/Clock.hpp>
#include <cstddef>
#include <cstdint>
#include <string>

class MatchTimeline;
class PlaybackControls;

namespace sf
{
class RenderWindow;
}

// What the status line says: where a replay stands (replayEnd its last frame, 0 when not replaying), seed, match
// clock, speed, pause, and possession, passes and tackles per team.
[[nodiscard]] std::string StatusText(const MatchTimeline& timeline, const PlaybackControls& controls,
                                     std::int64_t replayEnd);

// The text broken into lines of at most columns characters, at spaces where it can be.
[[nodiscard]] std::string Wrapped(const std::string& text, std::size_t columns);

// A strip along the bottom of the window, drawn over the match after everything else; with H, or for a few seconds
// after a message. Texts wider than the window are wrapped.
class StatusLine
{
public:
    void Say(std::string text);
    void Draw(sf::RenderWindow& window, const MatchTimeline& timeline, const PlaybackControls& controls,
              std::int64_t replayEnd);

private:
    std::string message;
    sf::Clock messageAge;
};
