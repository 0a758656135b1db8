#pragma once

#include "shape/MatchShape.h"

#include <SFML/System/Vector2.hpp>
#include <array>
#include <cstdint>
#include <span>

namespace tryzone
{

class RugbyScene;

// What an outside brain sees of the match, one fixed-layout float32 vector per controlled player. Everything is in
// his ego frame: x is mirrored (pitch width - x, and the x speed negated) for the red team, so that every player sees
// his own team attack towards growing x; y is the pitch's (0 at the top, 720 at the bottom). Positions are pixels of
// the 1280 by 720 pitch, speeds pixels per second, times seconds of simulated time. The ten players are listed
// teammates first, in slot order (himself among them), then opponents in slot order: entry k is the slot
// 5 * team + k for k < 5, and 5 * (1 - team) + k - 5 after.
//
//   0  slot (0 to 9)              1  team (0 blue, 1 red)        2  lane (0 top, 1 middle, 2 bottom)
//   3  his x                      4  his y
//   5 + 4k .. 8 + 4k, k = 0..9:   player k's x, y, x speed, y speed
//  45  ball x                    46  ball y
//  47  holder's entry k (0 to 9) 48  1 when he holds the ball     49  1 when his team holds it
//  50  pass cooldown left (0: he may pass)
//  51  his team's tries          52  the opponents' tries
//  53  seconds played            54  seconds left before the match is cut off
//  55  his state graph's state (0 Idle, 1 Support, 2 Defend, 3 Attack, 4 Pass), where it waits while he obeys orders
namespace features
{
inline constexpr int kSlot = 0;
inline constexpr int kTeam = 1;
inline constexpr int kLane = 2;
inline constexpr int kX = 3;
inline constexpr int kY = 4;
inline constexpr int kPlayers = 5;
inline constexpr int kPerPlayer = 4;
inline constexpr int kBallX = 45;
inline constexpr int kBallY = 46;
inline constexpr int kHolder = 47;
inline constexpr int kHolds = 48;
inline constexpr int kTeamHolds = 49;
inline constexpr int kPassCooldown = 50;
inline constexpr int kOwnTries = 51;
inline constexpr int kOpponentTries = 52;
inline constexpr int kElapsed = 53;
inline constexpr int kLeft = 54;
inline constexpr int kState = 55;
} // namespace features

inline constexpr int kObservationSize = 56;
// Changes whenever the layout above does: a policy trained on another version is refused.
inline constexpr int kObservationVersion = 1;

// The observation of one controlled player, as a brain is given it.
struct Observation
{
    std::span<const float> features; // kObservationSize values
    int slot = 0;
};

// The x of a pitch point in the ego frame of the team, and back (the mirror is its own inverse).
[[nodiscard]] int EgoX(int x, int team);

// What the observations of one match at one moment share, read from the scene once for all its controlled players.
struct ObservedScene
{
    std::array<sf::Vector2f, kPlayerSlots> centres;
    std::array<sf::Vector2f, kPlayerSlots> velocities;
    sf::Vector2f ball;
    int holder = -1; // slot; -1 while nobody holds the ball
};

[[nodiscard]] ObservedScene Look(const RugbyScene& scene);

// The observation with every value brought into [-1, 1], for trainers that want bounded inputs of about unit size:
// slot / 9, team, lane / 2, positions / the pitch's width and height, speeds / 600 px/s, the holder's entry / 9,
// the flags as they are, cooldown / 5 s, tries / 10, the time played and left as shares of the match, state / 4;
// each clipped to [-1, 1] (a speed, tries or cooldown past its scale saturates).
void Normalise(const float* observation, std::int64_t framesPerMatch, float* out);

// Writes the observation of the player in slot into out (kObservationSize floats), frame frames into a match of
// framesPerMatch frames; the view is the scene's as it stands.
void Observe(const RugbyScene& scene, const ObservedScene& view, int slot, std::int64_t frame,
             std::int64_t framesPerMatch, float* out);

} // namespace tryzone
