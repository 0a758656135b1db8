#pragma once

#include <SFML/System/Vector2.hpp>
#include <cstdint>

// One player's settings, as read from and written to the settings file.
struct PlayerSettings
{
    std::uint8_t PlayerNumber = 0;
    std::uint8_t Team = 0; // 0 blue, 1 red
    sf::Vector2f StartPosition;
    float Radius = 0.f;
    float Speed = 0.f;
    float LuckMultiplier = 0.f;
    float EnemyIsTooNearDistance = 0.f;
    float PassCooldown = 0.f;
    float PassTime = 0.f;

    bool operator==(const PlayerSettings&) const = default;
};
