#pragma once

#include "behaviour/PlayerOrder.h"
#include "core/Random.h"
#include "tactics/Tactic.h"

#include <SFML/Graphics/Color.hpp>
#include <SFML/System/Vector2.hpp>
#include <array>
#include <cstdint>

class RugbyScene;

// What can change in one entity of a match, shape included.
struct EntitySnapshot
{
    sf::Vector2f position;
    float radius = 0.f;
    sf::Color color;
    sf::Vector2f direction;
    sf::Vector2i targetPosition;
    float targetDistance = 0.f;
    bool targetActive = false;
    float speed = 0.f;
    bool removeRequested = false;
    int tag = -1;

    bool operator==(const EntitySnapshot&) const = default;
};

// An action remembers the match only once it has started; the support action also its side of the lane.
struct ActionSnapshot
{
    bool started = false;
    bool toLaneEdge = false;

    bool operator==(const ActionSnapshot&) const = default;
};

struct PlayerSnapshot
{
    EntitySnapshot entity;
    int state = -1;
    std::array<ActionSnapshot, kMaxTacticStates> actions{}; // by state index; as many as the tactic has
    float luckMultiplier = 0.f;
    float enemyIsTooNearDistance = 0.f;
    float passCooldown = 0.f;
    float passTime = 0.f;
    std::uint8_t number = 0;
    std::uint8_t lane = 0;
    std::uint8_t team = 0;
    float attackSpeedFactor = 0.f;
    bool defendVariant = false;
    float laneTop = 0.f;
    float laneBottom = 0.f;
    float markerRadius = 0.f;
    float baseSpeed = 0.f;
    float runSpeed = 0.f;
    float boostFactor = 0.f;
    float passTimer = 0.f;
    float passWaitTimer = 0.f;
    float boostTimer = 0.f;
    float boostDuration = 0.f;
    PlayerOrder order;

    bool operator==(const PlayerSnapshot&) const = default;
};

// A whole match at the end of one frame, players named by slot (-1 for none) rather than by address: restored into
// any match of the host (another seed, other players), it plays on exactly as the match it was taken from.
struct MatchSnapshot
{
    std::int64_t frame = 0;
    float frameTime = 0.f;
    RandomState random;
    std::array<PlayerSnapshot, 10> players{};
    EntitySnapshot ball;
    float stealCooldown = 0.f;
    float stealTimer = 0.f;
    int holder = -1;
    int ballCarrier = -1;
    int selectedPlayer = -1;
    int selectedReceiver = -1;
    bool debugMode = false;
    std::int32_t blueScore = 0;
    std::int32_t redScore = 0;
    bool tryPending = false;
    std::array<sf::Vector2f, 5> formation{};

    bool operator==(const MatchSnapshot&) const = default;
};

// The scene, its entities and the thread's random engines; frame and frameTime are the runner's to fill in.
[[nodiscard]] MatchSnapshot TakeSnapshot(const RugbyScene& scene);
// Puts the snapshot's state into the scene's players and ball and the thread's random engines. The scene's entities
// must be live, in the order a match spawns them.
void RestoreSnapshot(const MatchSnapshot& snapshot, RugbyScene& scene);
