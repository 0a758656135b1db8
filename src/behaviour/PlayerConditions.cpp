#include "behaviour/PlayerConditions.h"

#include "behaviour/Player.h"
#include "core/Geometry.h"
#include "match/RugbyScene.h"

bool PlayerCondition_PlayerHaveBall::Test(Player* owner)
{
    return Entity::CurrentSceneAs<RugbyScene>()->ballCarrier == owner;
}

bool PlayerCondition_TeamHaveBall::Test(Player* owner)
{
    const Player* carrier = Entity::CurrentSceneAs<RugbyScene>()->ballCarrier;
    return carrier != nullptr && carrier->team == owner->team;
}

bool PlayerCondition_EnemyIsNear::Test(Player* owner)
{
    const Player* opponent = Entity::CurrentSceneAs<RugbyScene>()->FindNearestOpponentToBall();
    if (opponent == nullptr)
    {
        return false;
    }
    const sf::Vector2f mine = owner->PositionAt(0.5f, 0.5f);
    const sf::Vector2f theirs = opponent->PositionAt(0.5f, 0.5f);
    const float distance = Distance(TruncToInt(mine.x), TruncToInt(mine.y), TruncToInt(theirs.x), TruncToInt(theirs.y));
    return owner->enemyIsTooNearDistance >= distance;
}
