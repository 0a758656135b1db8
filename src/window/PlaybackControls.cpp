#include "window/PlaybackControls.h"

#include "core/GameHost.h"
#include "run/MatchTimeline.h"

bool PlaybackControls::HandleKey(sf::Keyboard::Key key, Command& command)
{
    command = Command::None;
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
    default:
        return false;
    }
}

int PlaybackControls::TakeSteps()
{
    if (!paused)
    {
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
        if (timeline.Frame() == stopAt)
        {
            controls.Pause();
            return true;
        }
        timeline.Advance(frameTime);
    }
    return false;
}
