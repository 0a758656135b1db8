#pragma once

#include <cstdint>

namespace tryzone
{

class Player;

// Told what happens in a match, as it happens. The game leaves it unset; tools that study matches set one.
// Rolls and thresholds are those of the percentage tests: an attempt succeeds when threshold > roll.
class MatchObserver
{
public:
    virtual ~MatchObserver() = default;

    virtual void OnKickOff(const Player& /*receiver*/) {}
    virtual void OnPassAttempt(const Player& /*passer*/, float /*roll*/, float /*threshold*/, bool /*success*/) {}
    virtual void OnPass(const Player& /*from*/, const Player& /*to*/) {}
    virtual void OnTackleAttempt(const Player& /*tackler*/, const Player& /*holder*/, float /*roll*/,
                                 float /*threshold*/, bool /*success*/)
    {
    }
    virtual void OnTackle(const Player& /*tackler*/, const Player& /*from*/) {}
    virtual void OnTry(std::uint8_t /*scoringTeam*/) {}
    // A pass the laws refuse as forward: not completed, and the opponents restart (a kick-off follows).
    virtual void OnForwardPass(const Player& /*from*/, const Player& /*to*/) {}
    // The carrier took the ball over his own try line under a law that gives the opponents a restart.
    virtual void OnRestart(const Player& /*carrier*/) {}
    // The ball handed over by hand (E in debug mode): only input moves it so.
    virtual void OnHand(const Player& /*from*/, const Player& /*to*/) {}
};

} // namespace tryzone
