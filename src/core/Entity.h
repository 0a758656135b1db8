#pragma once

#include <SFML/Graphics/CircleShape.hpp>
#include <SFML/Graphics/Color.hpp>
#include <SFML/System/Vector2.hpp>

namespace tryzone
{

class Scene;

// What changes in an entity besides its shape, in one aggregate that snapshots copy whole.
struct EntityStatus
{
    struct Target
    {
        sf::Vector2i position;
        float distance = 0.f;
        bool active = false;

        bool operator==(const Target&) const = default;
    };

    sf::Vector2f direction;
    Target target;
    float speed = 0.f;
    bool removeRequested = false;
    int tag = -1;

    bool operator==(const EntityStatus&) const = default;
};

// A filled circle that lives in the world. The shape's origin is the top-left corner of its bounding square,
// so every geometric operation derives the centre from the position and the radius at each call.
class Entity : public EntityStatus
{
public:
    Entity(float radius, const sf::Color& color);
    virtual ~Entity() = default;

    Entity(const Entity&) = delete;
    Entity& operator=(const Entity&) = delete;

    // Per-frame behaviour, run before the movement step.
    virtual void Tick() {}
    // Called by the host for each entity this one overlaps in the frame's collision pass.
    virtual void HandleCollision(Entity* other);

    // The host's per-frame step: Tick, then straight-line movement.
    void Update();

    // Point of the bounding square at the given fractions of its side; (0.5, 0.5) is the centre.
    [[nodiscard]] sf::Vector2f PositionAt(float ratioX, float ratioY) const;
    // Places the shape so that PositionAt with the same fractions returns (x, y).
    void PlaceAt(float x, float y, float ratioX, float ratioY);

    // Starts straight travel of the centre towards (x, y); false when the centre is exactly there already.
    bool MoveTowards(int x, int y, float newSpeed);
    void Halt();

    // Strict tests: circles that only touch do not overlap, a point on the circle is not contained.
    [[nodiscard]] bool Overlaps(const Entity* other) const;
    [[nodiscard]] bool Contains(float x, float y) const;

    [[nodiscard]] const sf::CircleShape& Shape() const { return shape; }
    [[nodiscard]] static float FrameTime();
    [[nodiscard]] static Scene* CurrentScene();
    template <class T> [[nodiscard]] static T* CurrentSceneAs() { return dynamic_cast<T*>(CurrentScene()); }

    sf::CircleShape shape;

private:
    // The shape's position plus its radius: the same point as PositionAt(0.5, 0.5).
    [[nodiscard]] sf::Vector2f Centre() const;
};

} // namespace tryzone
