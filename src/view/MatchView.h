#pragma once

#include "core/FramePicture.h"
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
class CairoPicture;

// Pictures of a match played by the agent library, from the host's picture of its frame: shown in the game's window
// ("TryZone", the pitch's size, which needs a display), or drawn by cairo into red, green and blue bytes with no
// display.
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
    // window is opened again. Returns false for an off-screen view. Throws std::runtime_error without a display,
    // where the window library would end the process.
    bool Show(AgentMatch& match);
    // The match's last frame as kHeight x kWidth x 3 bytes, rows from the top.
    [[nodiscard]] std::vector<std::uint8_t> Picture(AgentMatch& match);
    void Close();

private:
    bool inWindow;
    AgentMatch* prepared = nullptr;
    std::unique_ptr<sf::RenderWindow> window;
    std::unique_ptr<CairoPicture> painter;
    FramePicture picture;
};

} // namespace tryzone
