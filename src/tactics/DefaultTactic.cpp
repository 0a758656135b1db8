#include "tactics/DefaultTactic.h"

#include "tactics/TacticCatalogue.h"

namespace tryzone
{

namespace
{
TacticCondition Is(const char* kind, bool expected = true)
{
    return {DefaultStep(kind), expected};
}
} // namespace

Tactic DefaultTacticModel()
{
    // Link order is priority. A defender that wins the ball passes through Support for one frame on its way to
    // Attack, because Defend's link to Support comes first.
    const TacticLink toSupportOffBall{"Support", {Is("TeamHaveBall"), Is("PlayerHaveBall", false)}};
    const TacticLink toDefend{"Defend", {Is("TeamHaveBall", false)}};
    const TacticLink toAttack{"Attack", {Is("PlayerHaveBall")}};
    return Tactic{
        "Today's players: the carrier runs for the line and passes at random when an opponent comes near; the others "
        "support him or chase him.",
        "Idle",
        {
            {"Idle", DefaultStep("Idle"), {toSupportOffBall, toDefend, toAttack}},
            {"Support", DefaultStep("Support"), {toDefend, toAttack}},
            {"Defend", DefaultStep("Defend"), {{"Support", {Is("TeamHaveBall")}}, toAttack}},
            {"Attack", DefaultStep("Attack"), {toSupportOffBall, toDefend, {"Pass", {Is("EnemyIsNear")}}}},
            {"Pass", DefaultStep("Pass"), {{"Support", {Is("PlayerHaveBall", false)}}}},
        }};
}

const CompiledTactic& DefaultTactic()
{
    static const CompiledTactic compiled = CompileTactic(DefaultTacticModel());
    return compiled;
}

} // namespace tryzone
