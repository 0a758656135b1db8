#include "match/Formation.h"

namespace tryzone
{

std::array<sf::Vector2f, kTeamSlots> KickOffFormation(float width, float height)
{
    return {{
        {0.15f * width, 0.1f * height},
        {0.28f * width, 0.15f * height},
        {0.35f * width, 0.5f * height},
        {0.28f * width, 0.85f * height},
        {0.15f * width, 0.9f * height},
    }};
}

} // namespace tryzone
