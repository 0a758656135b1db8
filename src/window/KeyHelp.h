#pragma once

#include <string>

namespace sf
{
class RenderWindow;
}

namespace tryzone
{

class PlaybackControls;

// The keys and what each does now (paused or playing, debug mode on or off, a replay or a live match), one a line.
[[nodiscard]] std::string KeyHelpText(const PlaybackControls& controls, bool debugMode, bool replaying);

// The help in a panel over the match (F1 or ?).
void DrawKeyHelp(sf::RenderWindow& window, const std::string& text);

} // namespace tryzone
