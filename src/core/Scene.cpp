#include "core/Scene.h"

#include "core/GameHost.h"

namespace tryzone
{

int Scene::WindowWidth() const
{
    return host->WindowWidth();
}

int Scene::WindowHeight() const
{
    return host->WindowHeight();
}

void Scene::Enqueue(std::unique_ptr<Entity> entity)
{
    host->QueueEntity(std::move(entity));
}

} // namespace tryzone
