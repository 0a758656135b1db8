#pragma once

#include "shape/MatchShape.h"
#include "behaviour/Ball.h"
#include "behaviour/Player.h"
#include "core/Random.h"
#include "match/RugbyScene.h"
#include "tactics/Tactic.h"

#include <SFML/Graphics/Color.hpp>
#include <SFML/System/Vector2.hpp>
#include <array>
#include <cstdint>

namespace tryzone
{

// What can change in one entity: its shape's position, size and colour, and its status.
struct EntitySnapshot
{
    sf::Vector2f position;
    float radius = 0.f;
    sf::Color color;
    EntityStatus status;

    bool operator==(const EntitySnapshot&) const = default;
};

struct PlayerSnapshot
{
    EntitySnapshot entity;
    PlayerStatus status;
    int state = -1;
    // Every action of the graph, state by state; as many as the tactic has.
    std::array<ActionMemory, kMaxTacticStates> actions{};

    bool operator==(const PlayerSnapshot&) const = default;
};

// A whole match at the end of one frame, players named by slot (-1 for none) rather than by address: restored into
// any match of the host (another seed, other players), it plays on exactly as the match it was taken from.
struct MatchSnapshot
{
    std::int64_t frame = 0;
    float frameTime = 0.f;
    RandomState random;
    std::array<PlayerSnapshot, kPlayerSlots> players{};
    EntitySnapshot ball;
    BallStatus ballStatus;
    RugbySceneStatus scene;
    int holder = -1;
    int ballCarrier = -1;
    int selectedPlayer = -1;
    int selectedReceiver = -1;

    bool operator==(const MatchSnapshot&) const = default;
};

// The scene, its entities and the thread's random engines; frame and frameTime are the runner's to fill in.
[[nodiscard]] MatchSnapshot TakeSnapshot(const RugbyScene& scene);
// Puts the snapshot's state into the scene's players and ball and the thread's random engines. The scene's entities
// must be live, in the order a match spawns them.
void RestoreSnapshot(const MatchSnapshot& snapshot, RugbyScene& scene);

} // namespace tryzone
