#pragma once

#include <SFML/System/Clock.hpp>
#include <cstddef>
#include <cstdint>
#include <string>

namespace sf
{
class RenderWindow;
}

namespace tryzone
{

class MatchTimeline;
class PlaybackControls;

// What the status line says: where a replay stands (replayEnd its last frame, 0 when not replaying), seed, match
// clock, speed, pause, and possession, passes and tackles per team.
[[nodiscard]] std::string StatusText(const MatchTimeline& timeline, const PlaybackControls& controls,
                                     std::int64_t replayEnd);

// The text broken into lines of at most columns characters, at spaces where it can be.
[[nodiscard]] std::string Wrapped(const std::string& text, std::size_t columns);

// A strip along the bottom of the window, drawn over the match after everything else; with H, or while a message
// is shown. Texts wider than the window are wrapped.
class StatusLine
{
public:
    // A message shown for a few seconds, or, held, until the next message or key press.
    void Say(std::string text, bool held = false);
    // A key was pressed: a held message has been seen.
    void KeyPressed() { heldMessage = false; }
    void Draw(sf::RenderWindow& window, const MatchTimeline& timeline, const PlaybackControls& controls,
              std::int64_t replayEnd);

private:
    std::string message;
    bool heldMessage = false;
    sf::Clock messageAge;
};

} // namespace tryzone
