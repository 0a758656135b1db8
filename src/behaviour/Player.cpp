#include "behaviour/Player.h"

#include "behaviour/Ball.h"
#include "behaviour/PlayerActions.h"
#include "behaviour/PlayerConditions.h"
#include "behaviour/PlayerWiring.h"
#include "core/DebugOverlay.h"
#include "core/Random.h"
#include "match/RugbyScene.h"
#include "tactics/DefaultTactic.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <string_view>
#include <utility>

namespace tryzone
{

const char* PlayerStateName(int state)
{
    static constexpr std::array<const char*, 5> names{"Idle", "Support", "Defend", "Attack", "Pass"};
    return state >= 0 && state < static_cast<int>(names.size()) ? names[static_cast<std::size_t>(state)] : "Unknown";
}

namespace
{
// The default tactic lives as long as the program: shared without an owner, so that sharing it allocates nothing.
std::shared_ptr<const CompiledTactic> OrDefault(std::shared_ptr<const CompiledTactic> tactic)
{
    return tactic != nullptr
               ? std::move(tactic)
               : std::shared_ptr<const CompiledTactic>(std::shared_ptr<const CompiledTactic>(), &DefaultTactic());
}
} // namespace

Player::Player(float radius, const sf::Color& color, std::shared_ptr<const CompiledTactic> playerTactic)
    : Entity(radius, color), scene(CurrentSceneAs<RugbyScene>()), tactic(OrDefault(std::move(playerTactic)))
{
    // Drawn before the wiring, whose start state may draw too.
    defendVariant = Chance(25.f);
    tag = 1;
    Wire(stateGraph, *tactic);
}

void Player::Setup(const std::uint8_t& teamFlag, const std::uint8_t& shirtNumber, const std::uint8_t& laneIndex,
                   const float& runningSpeed, const float& luck, const float& nearDistance, const float& cooldown,
                   const float& waitBeforePass)
{
    team = teamFlag;
    number = shirtNumber;
    lane = laneIndex;
    baseSpeed = runningSpeed;
    runSpeed = runningSpeed;
    luckMultiplier = luck;
    enemyIsTooNearDistance = nearDistance;
    passCooldown = cooldown;
    passTime = waitBeforePass;
    const float laneHeight = static_cast<float>(scene->WindowHeight()) / 3.f;
    laneTop = static_cast<float>(lane) * laneHeight;
    laneBottom = laneHeight * static_cast<float>(static_cast<std::uint8_t>(lane + 1));
}

void Player::Tick()
{
    if (scene->debugMode)
    {
        DrawDebugMarks();
    }

    // In debug mode the carrier is the user's to steer.
    if (!scene->debugMode || scene->ballCarrier != this)
    {
        if (order.kind == OrderKind::Builtin)
        {
            stateGraph.Update();
        }
        else
        {
            FollowOrder();
        }
    }

    // Keep the centre inside the lane; only the vertical motion is stopped, so the player slides along the edge.
    const sf::Vector2f centre = PositionAt(0.5f, 0.5f);
    if (laneTop > centre.y)
    {
        direction.y = 0.f;
        PlaceAt(centre.x, laneTop, 0.5f, 0.5f);
    }
    if (centre.y > laneBottom)
    {
        direction.y = 0.f;
        PlaceAt(centre.x, laneBottom, 0.5f, 0.5f);
    }

    // Held between the dead-ball lines under that law, and always when an outside brain steers him.
    if (scene->laws->deadBallLines || order.kind != OrderKind::Builtin)
    {
        KeepOnPitch();
    }

    if (passCooldown > passTimer)
    {
        passTimer += FrameTime();
    }

    boostTimer += FrameTime();
    if (boostTimer >= boostDuration)
    {
        runSpeed = baseSpeed;
    }
}

void Player::FollowOrder()
{
    switch (order.kind)
    {
    case OrderKind::Hold:
        Halt();
        break;
    case OrderKind::Move:
        // Steered every frame, as the actions do, so that a boost or its end takes effect at once; a point off the
        // pitch stands for its nearest point on it (and the lane still holds y).
        (void)MoveTowards(std::clamp(order.x, 0, scene->WindowWidth()), std::clamp(order.y, 0, scene->WindowHeight()),
                          runSpeed);
        break;
    case OrderKind::Pass:
        PassAsOrdered();
        break;
    case OrderKind::Builtin:
        break;
    }
}

void Player::PassAsOrdered()
{
    // He keeps running where he was going, as a carrier in Pass does.
    Player* receiver = nullptr;
    if (order.x >= 0)
    {
        receiver = order.x < static_cast<int>(scene->players.size()) ? scene->players[static_cast<std::size_t>(order.x)]
                                                                      : nullptr;
        // Only a teammate can be passed to: an order naming anyone else is no pass at all.
        if (receiver == nullptr || receiver == this || receiver->team != team)
        {
            return;
        }
    }
    PassWhenReady(*this, Receiver::Random, receiver);
}

void Player::KeepOnPitch()
{
    // Between the dead-ball lines now, and after this frame's movement step: a step that would cross a line is
    // shortened to end on it.
    const float width = static_cast<float>(scene->WindowWidth());
    const sf::Vector2f centre = PositionAt(0.5f, 0.5f);
    const float x = std::clamp(centre.x, 0.f, width);
    if (x != centre.x)
    {
        PlaceAt(x, centre.y, 0.5f, 0.5f);
    }
    const float step = FrameTime() * speed;
    const float next = x + direction.x * step;
    if (step > 0.f && (next < 0.f || next > width))
    {
        direction.x = ((next < 0.f ? 0.f : width) - x) / step;
    }
}

void Player::Boost()
{
    if (boostTimer >= boostDuration)
    {
        runSpeed = runSpeed * boostFactor;
        boostTimer = 0.f;
    }
}

void Player::DrawDebugMarks() const
{
    const sf::Vector2f centre = PositionAt(0.5f, 0.5f);
    DebugOverlay::DrawText(centre.x, centre.y - 50.f, StateName(), 0.5f, 0.5f, sf::Color::Red, DebugLayer::Foreground);

    std::array<char, 4> digits{};
    const auto written = std::to_chars(digits.data(), digits.data() + digits.size(), number).ptr;
    const sf::Vector2f numberAt = PositionAt(0.45f, 0.4f);
    DebugOverlay::DrawText(numberAt.x, numberAt.y, std::string_view(digits.data(), written - digits.data()), 0.5f, 0.5f,
                           sf::Color::White, DebugLayer::Foreground);

    DebugOverlay::DrawCircle(centre.x, centre.y, markerRadius, sf::Color::Black, true, 1.f, DebugLayer::Foreground);
    DebugOverlay::DrawCircle(centre.x, centre.y, enemyIsTooNearDistance, sf::Color::Red, true, 2.f,
                             DebugLayer::Foreground);
}

} // namespace tryzone
