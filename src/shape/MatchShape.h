#pragma once

#include <cstddef>

// The shape of every match: two teams of five in ten slots on a 1280 by 720 pitch. Every count, slot range, pass
// target and side in the C++ and the Python package (which exports these) comes from here.
namespace tryzone
{

inline constexpr int kTeamSize = 5;
inline constexpr int kTeams = 2;
inline constexpr int kPlayerCount = kTeamSize * kTeams;
// The same counts as sizes, for arrays and loops over containers.
inline constexpr std::size_t kTeamSlots = kTeamSize;
inline constexpr std::size_t kPlayerSlots = kPlayerCount;

inline constexpr int kPitchWidth = 1280;
inline constexpr int kPitchHeight = 720;

// A pass's target: a slot, or this for a teammate drawn at random.
inline constexpr int kRandomTeammate = -1;

// The two sides; the value is the settings file's team flag and the index used for scores and tactics.
enum class Side : int
{
    Blue = 0, // slots 0 to 4, kicks off on the left and attacks towards x = kPitchWidth
    Red = 1,  // slots 5 to 9, attacks towards x = 0
};

[[nodiscard]] constexpr bool IsSlot(int slot)
{
    return slot >= 0 && slot < kPlayerCount;
}

[[nodiscard]] constexpr bool IsPassTarget(int target)
{
    return target == kRandomTeammate || IsSlot(target);
}

// A player's side is his slot's: queries, kick-offs, scores, rewards and observations all take it from here.
[[nodiscard]] constexpr Side SideOfSlot(int slot)
{
    return slot < kTeamSize ? Side::Blue : Side::Red;
}

[[nodiscard]] constexpr int SideIndex(Side side)
{
    return static_cast<int>(side);
}

[[nodiscard]] constexpr int FirstSlotOf(Side side)
{
    return kTeamSize * SideIndex(side);
}

[[nodiscard]] constexpr Side OtherSide(Side side)
{
    return side == Side::Blue ? Side::Red : Side::Blue;
}

static_assert(SideOfSlot(kTeamSize - 1) == Side::Blue && SideOfSlot(kTeamSize) == Side::Red);

} // namespace tryzone
