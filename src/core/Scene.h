#pragma once

#include "core/Entity.h"

#include <SFML/Graphics/Color.hpp>
#include <memory>
#include <utility>

namespace sf
{
class Event;
}

namespace tryzone
{

class GameHost;

// What the window shows and plays. The host owns the entities a scene spawns; the scene only points to them.
class Scene
{
public:
    Scene() = default;
    virtual ~Scene() = default;

    Scene(const Scene&) = delete;
    Scene& operator=(const Scene&) = delete;

    virtual void Initialize() = 0;
    virtual void HandleEvent(const sf::Event& event) = 0;
    virtual void Update() = 0;

    // The size the window was created with, whatever the user has resized it to since; -1 before any window.
    [[nodiscard]] int WindowWidth() const;
    [[nodiscard]] int WindowHeight() const;

    // Creates an entity and queues it on the host; it joins the live list at the end of the next host update.
    // Arguments after the colour go to the entity's constructor.
    template <class T, class... Args> T* Spawn(float radius, const sf::Color& color, Args&&... args)
    {
        auto entity = std::make_unique<T>(radius, color, std::forward<Args>(args)...);
        T* spawned = entity.get();
        Enqueue(std::move(entity));
        return spawned;
    }

    GameHost* host = nullptr;

private:
    void Enqueue(std::unique_ptr<Entity> entity);
};

} // namespace tryzone
