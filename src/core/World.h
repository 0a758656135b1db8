#pragma once

#include "core/DebugOverlay.h"
#include "core/GameHost.h"
#include "core/Random.h"

namespace tryzone
{

// Everything a match reaches through the game's single host: the host itself (entity lists, scene, frame time, step
// observer), the debug overlay and the random engines. The game plays in the default world, the one the singletons
// return when no world is current. Many matches in one process each get a world of their own, made current on the
// thread that works on the match (WorldScope), so that no two matches ever touch.
class World
{
public:
    // A headless world: the overlay drops every request, the random engines wait to be seeded.
    World();
    World(const World&) = delete;
    World& operator=(const World&) = delete;

    [[nodiscard]] GameHost& Host() { return host; }

private:
    friend class WorldScope;

    GameHost host;
    DebugOverlay overlay;
    RandomState random;
};

// Makes a world current on this thread for the scope's life, and puts back whatever was current before.
class WorldScope
{
public:
    explicit WorldScope(World& world);
    WorldScope(const WorldScope&) = delete;
    WorldScope& operator=(const WorldScope&) = delete;
    ~WorldScope();

private:
    GameHost* host;
    DebugOverlay* overlay;
    RandomState* random;
};

} // namespace tryzone
