#pragma once

#include "behaviour/PlayerOrder.h"
#include "files/Expected.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string>

namespace tryzone
{

// A decision every 0.1 s of match time (a frame is 0.00835 s): about ten a simulated second, as sports environments
// for agents commonly have, while a player at full speed covers some 30 pixels between two.
inline constexpr int kDefaultDecisionFrames = 12;

// An outside brain's decision for one player, laid out as the Python arrays hold it: a code and two arguments.
//   BUILTIN 0  his own state graph decides, exactly as if he were not controlled
//   HOLD    1  stand still
//   MOVE    2  run to the point (x, y) of his ego frame (agent/Observation.h) at his running speed
//   PASS    3  the holder passes, once the cooldown allows, to the teammate in slot x (0 to 9), or a random one for
//              x = -1; a player without the ball, or x naming himself or an opponent, makes no attempt
struct AgentAction
{
    std::int32_t code = 0;
    std::int32_t x = 0;
    std::int32_t y = 0;
};
static_assert(sizeof(AgentAction) == 3 * sizeof(std::int32_t), "an action is three int32 in a row");

inline constexpr std::int32_t kBuiltin = static_cast<std::int32_t>(OrderKind::Builtin);
inline constexpr std::int32_t kHold = static_cast<std::int32_t>(OrderKind::Hold);
inline constexpr std::int32_t kMove = static_cast<std::int32_t>(OrderKind::Move);
inline constexpr std::int32_t kPass = static_cast<std::int32_t>(OrderKind::Pass);

// Whether an action can be played; if not, what is wrong with it: an unknown code, or a pass to a slot that does not
// exist.
[[nodiscard]] Expected<void> CheckAction(const AgentAction& action);

// The order a valid action gives a player of the team: the move's point taken out of his ego frame.
[[nodiscard]] PlayerOrder OrderFor(const AgentAction& action, int team);

// The coarse actions, a small set that a trainer's Discrete space picks from: BUILTIN; a move 200 pixels ahead,
// ahead and up, ahead and down (the point relative to the player, in his ego frame, where ahead is +x); a run
// straight to the try line; a pass to any teammate; a run straight back over his own try line, which under a law of
// restarts gives the ball to the opponents at the kick-off formation instead of carrying it through their defence.
// Each action set is a prefix of this table, so that a later set keeps an earlier one's choices.
inline constexpr std::array<AgentAction, 7> kCoarseActions{{
    {kBuiltin, 0, 0},
    {kMove, 200, 0},
    {kMove, 200, -150},
    {kMove, 200, 150},
    {kMove, 1280, 0},
    {kPass, -1, 0},
    {kMove, -1280, 0},
}};
inline constexpr int kCoarseActionCount = static_cast<int>(kCoarseActions.size());

// A named set of coarse actions (a policy file's action_set, an environment's action form): the table's first count.
struct CoarseActionSet
{
    const char* name;
    int count;
};
inline constexpr std::array<CoarseActionSet, 2> kCoarseActionSets{{{"coarse-v1", 6}, {"coarse-v2", 7}}};

// The set of that name, or why there is none.
[[nodiscard]] Expected<CoarseActionSet> FindCoarseActionSet(const std::string& name);

// The action a coarse choice gives the player whose observation this is: a move's point made absolute from his
// position and kept on the pitch. The choice must be in range (CheckCoarse).
[[nodiscard]] AgentAction FromCoarse(std::int32_t choice, const float* observation);
[[nodiscard]] Expected<void> CheckCoarse(std::int32_t choice);

} // namespace tryzone
