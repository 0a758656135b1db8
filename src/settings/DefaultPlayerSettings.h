#pragma once

#include "shape/MatchShape.h"
#include "settings/PlayerSettings.h"

#include <SFML/System/Vector2.hpp>
#include <array>

namespace tryzone
{

// The ten default records: slot i gets number i, blue for slots 0-4 on formation spot i, red for slots 5-9 on the
// mirror (width - x, y) of spot i - 5, and the same size, speed, luck and passing parameters for everyone.
std::array<PlayerSettings, kPlayerSlots> DefaultPlayerSettings(const std::array<sf::Vector2f, kTeamSlots>& formation, float width);

} // namespace tryzone
