#include "core/World.h"

namespace tryzone
{

World::World()
{
    // No window in a world of its own: laying out a text would need a graphics context.
    overlay.enabled = false;
}

WorldScope::WorldScope(World& world) : host(GameHost::active), overlay(DebugOverlay::active), random(activeRandom)
{
    GameHost::active = &world.host;
    DebugOverlay::active = &world.overlay;
    activeRandom = &world.random;
}

WorldScope::~WorldScope()
{
    GameHost::active = host;
    DebugOverlay::active = overlay;
    activeRandom = random;
}

} // namespace tryzone
