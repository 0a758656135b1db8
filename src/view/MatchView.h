#pragma once

#include "shape/MatchShape.h"

#include <cstdint>
#include <memory>
#include <vector>

namespace sf
{
class RenderTexture;
class RenderWindow;
} // namespace sf

namespace tryzone
{

class AgentMatch;

// Pictures of a match played by the agent library, drawn by the host's own drawing: into the game's window
// ("TryZone", the pitch's size), or off screen into a picture of red, green and blue bytes. Needs a display.
class MatchView
{
public:
    static constexpr unsigned kWidth = kPitchWidth;
    static constexpr unsigned kHeight = kPitchHeight;

    // inWindow: a window opens at the first Show; otherwise Picture draws off screen.
    explicit MatchView(bool inWindow);
    MatchView(const MatchView&) = delete;
    MatchView& operator=(const MatchView&) = delete;
    ~MatchView();

    // Switches the match's drawing on, from its next frame; Show and Picture do it too, for the match they draw.
    void Follow(AgentMatch& match);
    // Draws the match's last frame in the window, whose events are handled so that it stays responsive; a closed
    // window is opened again. Returns false for an off-screen view.
    bool Show(AgentMatch& match);
    // The match's last frame as kHeight x kWidth x 3 bytes, rows from the top.
    [[nodiscard]] std::vector<std::uint8_t> Picture(AgentMatch& match);
    void Close();

private:
    bool inWindow;
    AgentMatch* prepared = nullptr;
    std::unique_ptr<sf::RenderWindow> window;
    std::unique_ptr<sf::RenderTexture> texture;
};

} // namespace tryzone
