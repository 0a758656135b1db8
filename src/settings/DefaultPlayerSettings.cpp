#include "settings/DefaultPlayerSettings.h"

#include <cstddef>

namespace tryzone
{

std::array<PlayerSettings, kPlayerSlots> DefaultPlayerSettings(const std::array<sf::Vector2f, kTeamSlots>& formation, float width)
{
    std::array<PlayerSettings, kPlayerSlots> defaults{};
    for (std::size_t i = 0; i < defaults.size(); ++i)
    {
        PlayerSettings& record = defaults[i];
        const bool blue = i < formation.size();
        record.PlayerNumber = static_cast<std::uint8_t>(i);
        record.Team = blue ? 0 : 1;
        if (blue)
        {
            record.StartPosition = formation[i];
        }
        else
        {
            const sf::Vector2f spot = formation[i - formation.size()];
            record.StartPosition = sf::Vector2f(width - spot.x, spot.y);
        }
        record.Radius = 25.f;
        record.Speed = 300.f;
        record.LuckMultiplier = 1.f;
        record.EnemyIsTooNearDistance = 75.f;
        record.PassCooldown = 1.f;
        record.PassTime = 0.5f;
    }
    return defaults;
}

} // namespace tryzone
