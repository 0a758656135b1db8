#pragma once

namespace tryzone
{

class Entity;

// Looks at the world between the parts of the host's step, where a check must see what one part left behind before
// the next part changes it. The game sets none.
class StepObserver
{
public:
    virtual ~StepObserver() = default;

    virtual void AfterSceneUpdate() {}
    // After the entity's Tick and movement, before the collision pass.
    virtual void AfterEntityUpdate(const Entity& /*entity*/) {}
};

} // namespace tryzone
