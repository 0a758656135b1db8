#pragma once

#include "shape/MatchShape.h"

#include <SFML/System/Vector2.hpp>
#include <array>
#include <cstddef>
#include <cstdint>

namespace tryzone
{

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

// A float key of the settings file and the member it fills.
struct PlayerFloatKey
{
    const char* name;
    float PlayerSettings::*member;
};

// The settings file's keys, each once: every reader and writer of player settings (the file, recordings, the
// simulator's parts, its variations and the game's settings panel) goes through these lists.
inline constexpr std::array<PlayerFloatKey, 6> kPlayerFloatKeys{{
    {"Radius", &PlayerSettings::Radius},
    {"Speed", &PlayerSettings::Speed},
    {"LuckMultiplier", &PlayerSettings::LuckMultiplier},
    {"EnemyIsTooNearDistance", &PlayerSettings::EnemyIsTooNearDistance},
    {"PassCooldown", &PlayerSettings::PassCooldown},
    {"PassTime", &PlayerSettings::PassTime},
}};
// Every key of an entry, in the file's order: the three that are not floats, then the floats.
inline constexpr std::array<const char*, 3 + kPlayerFloatKeys.size()> kPlayerKeys = []
{
    std::array<const char*, 3 + kPlayerFloatKeys.size()> keys{"PlayerNumber", "Team", "StartPosition"};
    for (std::size_t i = 0; i < kPlayerFloatKeys.size(); ++i)
    {
        keys[3 + i] = kPlayerFloatKeys[i].name;
    }
    return keys;
}();

} // namespace tryzone
