#pragma once

#include "shape/MatchShape.h"

#include <SFML/System/Vector2.hpp>
#include <array>

namespace tryzone
{

// Kick-off spots (centres) of the left-hand team for a pitch of the given size; the right-hand team
// stands on their mirror images (width - x, y).
[[nodiscard]] std::array<sf::Vector2f, kTeamSlots> KickOffFormation(float width, float height);

// The right-hand team's spot facing the given left-hand one.
[[nodiscard]] inline sf::Vector2f MirroredSpot(sf::Vector2f spot, float width)
{
    return {width - spot.x, spot.y};
}

} // namespace tryzone
