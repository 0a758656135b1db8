#pragma once

#include "behaviour/PlayerActions.h"
#include "tactics/TacticSteps.h"

namespace tryzone
{

// Follows one opponent, chosen on entry, `gap` pixels from him on the marker's own goal side: man-marking.
class PlayerActionMark final : public PlayerAction
{
public:
    explicit PlayerActionMark(const MarkStep& given) : parameters(given) {}

    void Start(Player* owner) override;
    void Update(Player* owner) override;
    [[nodiscard]] ActionMemory Remember() const override { return {scene != nullptr, false, marked}; }
    void Recall(const ActionMemory& memory, RugbyScene& match) override;

    // The slot of the opponent this marker follows, or -1 before Start.
    [[nodiscard]] int Marked() const { return marked; }

    MarkStep parameters;

private:
    int marked = -1;
};

} // namespace tryzone
