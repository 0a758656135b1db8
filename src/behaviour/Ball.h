#pragma once

#include "core/Entity.h"

namespace tryzone
{

class Player;

// What changes in the ball besides its entity and its holder, in one aggregate that snapshots copy whole.
struct BallStatus
{
    float stealCooldown = 2.0f;
    float stealTimer = 0.f;

    bool operator==(const BallStatus&) const = default;
};

// The match ball. It is never loose: it sits on its holder and changes hands at once, by a pass or a tackle.
// holder always names the same player as the scene's ballCarrier.
class Ball final : public Entity, public BallStatus
{
public:
    Ball(float radius, const sf::Color& color);

    // Hands the ball to a chosen player, who is protected from tackles for stealCooldown.
    void GiveTo(Player* player);
    // Passes to a random teammate of the passer; a pass gives no protection.
    void PassFrom(Player* from);
    // Passes to a chosen teammate of the passer, as PassFrom does to a random one; a null receiver leaves the ball
    // where it is.
    void PassTo(Player* from, Player* receiver);

    void Tick() override;
    // An opponent touching the ball after the protection time tries a tackle.
    void HandleCollision(Entity* other) override;

    Player* holder;
};

} // namespace tryzone
