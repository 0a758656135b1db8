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
    // The ball handed over by hand (E in debug mode): only input moves it so.
    virtual void OnHand(const Player& /*from*/, const Player& /*to*/) {}
};

} // namespace tryzone
