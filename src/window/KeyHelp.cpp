#include "window/KeyHelp.h"

#include "window/PlaybackControls.h"
#include "window/TextPanel.h"

namespace tryzone
{

std::string KeyHelpText(const PlaybackControls& controls, bool debugMode, bool replaying)
{
    const bool paused = controls.Paused();
    std::string text = replaying ? "Keys (a replay: the match takes no input but these)\n" : "Keys\n";
    text +=
        std::string("F1, ?       hide this help\n") + "Space       " + (paused ? "play on (paused now)" : "pause") +
        "\n" + ".           " + (paused ? "one frame on" : "one frame on, once paused") + "\n" +
        "1 2 3 4     speed x1 x2 x4 x8 (x" + std::to_string(controls.Speed()) + " now)\n" +
        "Left Right  10 s of match time back / forward" + (replaying ? " (Right stops at the end)" : "") + "\n" +
        "Home        back to this match's kick-off\n" + "H           " + (controls.StatusShown() ? "hide" : "show") +
        " the status line\n" + "S           save the match so far as tryzone-SEED-FRAME.jsonl\n" + "P           " +
        (controls.SettingsShown() ? "hide" : "show") + " the players' settings in play and the last reload's changes\n";
    if (!replaying)
    {
        text += std::string("Numpad 5    debug mode ") + (debugMode ? "off (on now)" : "on (off now)") + "\n";
        text += debugMode ? "Right / middle click  pick a player / a receiver\n"
                            "Left click            send the picked player to the pointer\n"
                            "E                     hand the ball to the receiver\n"
                          : "(clicks and E act in debug mode)\n";
    }
    text += "Close button, Ctrl-C  end the game (a recording ends at the frame shown)";
    return text;
}

void DrawKeyHelp(sf::RenderWindow& window, const std::string& text)
{
    DrawTextPanel(window, text, {16, 200});
}

} // namespace tryzone
