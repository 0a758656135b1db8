#include "behaviour/Ball.h"
#include "shape/MatchShape.h"
#include "behaviour/Player.h"
#include "core/Geometry.h"
#include "core/Random.h"
#include "match/RugbyScene.h"

#include <limits>

namespace tryzone
{

namespace
{
sf::Vector2i WholePixelCentre(const Entity& entity)
{
    const sf::Vector2f centre = entity.PositionAt(0.5f, 0.5f);
    return {TruncToInt(centre.x), TruncToInt(centre.y)};
}

float WholePixelDistance(sf::Vector2i a, sf::Vector2i b)
{
    return Distance(a.x, a.y, b.x, b.y);
}

// The first slot of a team's range; kNoSide for a flag that names no side.
constexpr std::size_t kNoSide = std::numeric_limits<std::size_t>::max();

std::size_t FirstSlot(std::uint8_t team)
{
    return team == 0 ? 0 : team == 1 ? kTeamSlots : kNoSide;
}

std::size_t OtherSideFirstSlot(std::uint8_t team)
{
    return team == 0 ? kTeamSlots : team == 1 ? 0 : kNoSide;
}

// The candidate of five slots from base whose whole-pixel centre is nearest to the point, skipping one player;
// only a strictly smaller distance displaces the earlier candidate.
Player* NearestInRange(const std::array<Player*, kPlayerSlots>& players, std::size_t base, sf::Vector2i point,
                       const Player* skipped)
{
    Player* nearest = nullptr;
    float best = 0.f;
    for (std::size_t slot = base; slot < base + kTeamSlots; ++slot)
    {
        Player* candidate = players[slot];
        if (candidate == skipped)
        {
            continue;
        }
        const float distance = WholePixelDistance(WholePixelCentre(*candidate), point);
        if (nearest == nullptr || distance < best)
        {
            nearest = candidate;
            best = distance;
        }
    }
    return nearest;
}
} // namespace

sf::Vector2f RugbyScene::GetLaneCentre(std::uint8_t lane) const
{
    const float sixth = static_cast<float>(WindowHeight()) / 6.f;
    switch (lane)
    {
    case 0:
        return {0.f, sixth};
    case 1:
        return {0.f, 3.f * sixth};
    case 2:
        return {0.f, 5.f * sixth};
    default:
        return {0.f, 0.f};
    }
}

Player* RugbyScene::FindNearestOpponentToBall() const
{
    const std::size_t base = OtherSideFirstSlot(ballCarrier->team);
    if (base == kNoSide)
    {
        return nullptr;
    }
    return NearestInRange(players, base, WholePixelCentre(*ball), nullptr);
}

Player* RugbyScene::FindNearestTeammateToBall() const
{
    const std::size_t base = FirstSlot(ballCarrier->team);
    if (base == kNoSide)
    {
        return nullptr;
    }
    return NearestInRange(players, base, WholePixelCentre(*ball), ballCarrier);
}

Player* RugbyScene::FindNearestPlayer(const Player& from, bool sameTeam) const
{
    const std::size_t base = sameTeam ? FirstSlot(from.team) : OtherSideFirstSlot(from.team);
    if (base == kNoSide)
    {
        return nullptr;
    }
    return NearestInRange(players, base, WholePixelCentre(from), &from);
}

Player* RugbyScene::PickRandomTeammate(const Player& from) const
{
    const std::size_t base = FirstSlot(from.team);
    if (base == kNoSide)
    {
        return nullptr;
    }
    // A fresh draw every time, so each of the four teammates is equally likely.
    for (;;)
    {
        Player* picked = players[base + static_cast<std::size_t>(RandomInt(0, 4))];
        if (picked != &from)
        {
            return picked;
        }
    }
}

int RugbyScene::SlotOf(const Player* player) const
{
    for (std::size_t slot = 0; player != nullptr && slot < players.size(); ++slot)
    {
        if (players[slot] == player)
        {
            return static_cast<int>(slot);
        }
    }
    return -1;
}

} // namespace tryzone
