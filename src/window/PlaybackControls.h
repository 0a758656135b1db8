#pragma once

#include <SFML/Window/Keyboard.hpp>
#include <cstdint>

namespace tryzone
{

class MatchTimeline;

// The keys that control how a match is shown, none of which the match itself reads: pause, single steps, speed,
// jumps, the status line, the key help, the settings in play and saving. Tells the frame loop how many steps to play
// per drawn frame. Space, S, H, F1 and P act once per press: their key repeat is ignored.
class PlaybackControls
{
public:
    enum class Command
    {
        None,
        JumpBack,
        JumpForward,
        KickOff,
        Save,
    };

    // True when the key is a control; the command is what the loop must do beyond pausing, stepping and speed.
    bool HandleKey(sf::Keyboard::Key key, Command& command);
    void ReleaseKey(sf::Keyboard::Key key);
    void ToggleHelp() { helpShown = !helpShown; }
    [[nodiscard]] bool SettingsShown() const { return settingsShown; }
    // One step in the next drawn frame, paused or not.
    void RequestStep() { stepRequested = true; }
    // Steps to play in the frame about to be drawn: none while paused, but one after a single-step request.
    [[nodiscard]] int TakeSteps();
    // Steps of exactly the capped frame time: any speed but x1, and single steps.
    [[nodiscard]] bool CappedSteps() const { return speed != 1 || paused; }

    void Pause() { paused = true; }
    [[nodiscard]] bool Paused() const { return paused; }
    [[nodiscard]] int Speed() const { return speed; }
    [[nodiscard]] bool StatusShown() const { return statusShown; }
    [[nodiscard]] bool HelpShown() const { return helpShown; }

private:
    bool paused = false;
    bool stepRequested = false;
    bool statusShown = false;
    bool helpShown = false;
    bool settingsShown = false;
    int speed = 1;
    std::uint32_t held = 0; // the keys above that are down, a bit each
};

// Plays the steps of one drawn frame: as many as the speed asks (none while paused), each of the measured frame
// time at x1 in a plain game and of exactly the capped frame time otherwise. A replay stops, paused, as soon as it
// gets to its last frame (stopAt); true then.
bool PlayDrawnFrame(MatchTimeline& timeline, PlaybackControls& controls, float measured, bool capped,
                    std::int64_t stopAt);

} // namespace tryzone
