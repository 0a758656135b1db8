#pragma once

#include "shape/MatchShape.h"
#include "core/StepObserver.h"
#include "run/FrameObserver.h"

#include <SFML/System/Vector2.hpp>
#include <array>
#include <cstdint>
#include <optional>
#include <string>

namespace tryzone
{

class RugbyScene;
class Player;
class Ball;

struct RuleBreach
{
    std::int64_t frame = 0;
    std::string rule;
};

// Checks the rules every frame of a match must keep, at the points of the host's step where each must hold:
// - the scene's ball carrier is the ball's holder;
// - after the ball's update, its centre is on its holder's centre;
// - after a player's update, his centre is inside his lane, give or take the one movement step after the clamp;
// - every position, direction, speed and timer is finite;
// - the scores never fall and rise by at most one a frame, both teams together;
// - after a try, every player stands on his kick-off spot;
// - the laws in force: under the dead-ball lines, no player's centre beyond 0 <= x <= W; under the forward pass,
//   no pass completed to a teammate further forward than the tolerance, give or take both players' movement steps.
// The first rule broken is kept, with its frame; frames count from 1. A runner is given it twice, as a frame
// observer (which ends the match at the first rule broken) and as its step observer.
// FrameObserver comes first, as in MatchRecorder: no thunk on its calls (a GCC 12 fault, tools/gcc-thunk).
class MatchRules : public FrameObserver, public StepObserver
{
public:
    explicit MatchRules(const RugbyScene& scene);

    void AfterSceneUpdate() override;
    void AfterEntityUpdate(const Entity& entity) override;
    void BeforeFrame(MatchRunner& /*runner*/, std::int64_t playing) override { frame = playing; }
    // Checks the end of the frame and moves on to the next; false once a rule is broken. A host stepped without a
    // runner calls it after each step.
    bool AfterFrame(const RugbyScene& scene, std::int64_t played) override;

    [[nodiscard]] const std::optional<RuleBreach>& Breach() const { return breach; }

private:
    void CheckPlayer(const Player& player);
    void CheckBall(const Ball& ball);
    void CheckPossession();
    void CheckLaws(const Player& player);
    void Break(const std::string& rule);

    const RugbyScene& scene;
    std::array<sf::Vector2f, kTeamSlots> formation;
    float width;
    float laneHeight;
    std::int64_t frame = 1;                   // the one being played
    std::array<std::int64_t, 2> scoresBefore; // blue, red, at the end of the last frame
    std::optional<RuleBreach> breach;
    const Player* carrier = nullptr; // as the last update left him, to see a pass completed by a player's update
};

} // namespace tryzone
