#include "behaviour/PlayerConditions.h"

#include "behaviour/Ball.h"
#include "behaviour/Player.h"
#include "core/Geometry.h"
#include "match/RugbyScene.h"

#include <cstdint>

namespace tryzone
{

// The conditions are tested for every player every frame: they reach the match through the player, the match he was
// spawned into, rather than by a cast of the host's current scene.

bool PlayerCondition_PlayerHaveBall::Test(Player* owner)
{
    return owner->scene->ballCarrier == owner;
}

bool PlayerCondition_TeamHaveBall::Test(Player* owner)
{
    const Player* carrier = owner->scene->ballCarrier;
    return carrier != nullptr && carrier->team == owner->team;
}

bool PlayerCondition_EnemyIsNear::Test(Player* owner)
{
    const Player* opponent = owner->scene->FindNearestOpponentToBall();
    if (opponent == nullptr)
    {
        return false;
    }
    const sf::Vector2f mine = owner->PositionAt(0.5f, 0.5f);
    const sf::Vector2f theirs = opponent->PositionAt(0.5f, 0.5f);
    const float between = Distance(TruncToInt(mine.x), TruncToInt(mine.y), TruncToInt(theirs.x), TruncToInt(theirs.y));
    return (distance < 0.f ? owner->enemyIsTooNearDistance : distance) >= between;
}

bool PlayerCondition_BallInZone::Test(Player* owner)
{
    const RugbyScene* scene = owner->scene;
    const float width = static_cast<float>(scene->WindowWidth());
    const float x = scene->ball->PositionAt(0.5f, 0.5f).x;
    const float share = (owner->team == 0 ? x : width - x) / width;
    return share >= from && share <= to;
}

bool PlayerCondition_ScoreDifference::Test(Player* owner)
{
    const RugbyScene* scene = owner->scene;
    const std::int64_t difference = owner->team == 0 ? std::int64_t{scene->blueScore} - scene->redScore
                                                     : std::int64_t{scene->redScore} - scene->blueScore;
    return difference >= atLeast && difference <= atMost;
}

} // namespace tryzone
