#include "window/PlaybackControls.h"

#include "core/GameHost.h"
#include "run/MatchTimeline.h"

namespace tryzone
{

namespace
{
// The bit of a key that acts once per press; 0 for the others.
std::uint32_t OncePerPress(sf::Keyboard::Key key)
{
    switch (key)
    {
    case sf::Keyboard::Space:
        return 1;
    case sf::Keyboard::S:
        return 2;
    case sf::Keyboard::H:
        return 4;
    case sf::Keyboard::F1:
        return 8;
    case sf::Keyboard::P:
        return 16;
    default:
        return 0;
    }
}
} // namespace

void PlaybackControls::ReleaseKey(sf::Keyboard::Key key)
{
    held &= ~OncePerPress(key);
}

bool PlaybackControls::HandleKey(sf::Keyboard::Key key, Command& command)
{
    command = Command::None;
    const std::uint32_t bit = OncePerPress(key);
    if ((held & bit) != 0)
    {
        return true;
    }
    held |= bit;
    switch (key)
    {
    case sf::Keyboard::Space:
        paused = !paused;
        stepRequested = false;
        return true;
    case sf::Keyboard::Period:
        stepRequested = paused;
        return true;
    case sf::Keyboard::Num1:
    case sf::Keyboard::Num2:
    case sf::Keyboard::Num3:
    case sf::Keyboard::Num4:
        // x1 is the game's own pace; x2 is real time, since each frame advances half a frame's wall-clock time.
        speed = 1 << (key - sf::Keyboard::Num1);
        return true;
    case sf::Keyboard::Left:
        command = Command::JumpBack;
        return true;
    case sf::Keyboard::Right:
        command = Command::JumpForward;
        return true;
    case sf::Keyboard::Home:
        command = Command::KickOff;
        return true;
    case sf::Keyboard::H:
        statusShown = !statusShown;
        return true;
    case sf::Keyboard::S:
        command = Command::Save;
        return true;
    case sf::Keyboard::F1:
        helpShown = !helpShown;
        return true;
    case sf::Keyboard::P:
        settingsShown = !settingsShown;
        return true;
    default:
        return false;
    }
}

int PlaybackControls::TakeSteps()
{
    if (!paused)
    {
        stepRequested = false;
        return speed;
    }
    const int steps = stepRequested ? 1 : 0;
    stepRequested = false;
    return steps;
}

bool PlayDrawnFrame(MatchTimeline& timeline, PlaybackControls& controls, float measured, bool capped,
                    std::int64_t stopAt)
{
    const float frameTime = capped || controls.CappedSteps() ? kMaxFrameTime : measured;
    for (int steps = controls.TakeSteps(); steps > 0; --steps)
    {
        timeline.Advance(frameTime);
        if (timeline.Frame() == stopAt)
        {
            controls.Pause();
            return true;
        }
    }
    return false;
}

} // namespace tryzone
