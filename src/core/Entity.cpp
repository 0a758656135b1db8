#include "core/Entity.h"

#include "core/GameHost.h"
#include "core/Geometry.h"

namespace tryzone
{

Entity::Entity(float radius, const sf::Color& color)
{
    shape.setOrigin(0.f, 0.f);
    shape.setRadius(radius);
    shape.setFillColor(color);
    target.active = false;
}

void Entity::HandleCollision(Entity* /*other*/) {}

void Entity::Update()
{
    Tick();
    const float step = FrameTime() * speed;
    shape.move(direction.x * step, direction.y * step);
    if (target.active)
    {
        // No snapping: the entity stops where the step that used up the distance left it.
        target.distance -= step;
        if (target.distance <= 0.f)
        {
            direction = {0.f, 0.f};
            target.active = false;
        }
    }
}

sf::Vector2f Entity::PositionAt(float ratioX, float ratioY) const
{
    const sf::Vector2f position = shape.getPosition();
    const float diameter = 2.f * shape.getRadius();
    return {position.x + diameter * ratioX, position.y + diameter * ratioY};
}

void Entity::PlaceAt(float x, float y, float ratioX, float ratioY)
{
    const float diameter = 2.f * shape.getRadius();
    shape.setPosition(x - diameter * ratioX, y - diameter * ratioY);
}

bool Entity::MoveTowards(int x, int y, float newSpeed)
{
    if (newSpeed > 0.f)
    {
        speed = newSpeed;
    }
    const sf::Vector2f centre = Centre();
    sf::Vector2f d(static_cast<float>(x) - centre.x, static_cast<float>(y) - centre.y);
    if (!Normalize(d))
    {
        // Already there: a travel under way carries on.
        return false;
    }
    direction = d;
    target.position = {x, y};
    target.distance = Distance(centre.x, centre.y, static_cast<float>(x), static_cast<float>(y));
    target.active = true;
    return true;
}

void Entity::Halt()
{
    direction = {0.f, 0.f};
    target.active = false;
}

bool Entity::Overlaps(const Entity* other) const
{
    // Tested 55 times a frame: each radius and position is read once.
    const float r1 = shape.getRadius();
    const float r2 = other->shape.getRadius();
    const sf::Vector2f p1 = shape.getPosition();
    const sf::Vector2f p2 = other->shape.getPosition();
    const float dx = (p2.x + r2) - (p1.x + r1);
    const float dy = (p2.y + r2) - (p1.y + r1);
    const float radii = r1 + r2;
    return radii * radii > dx * dx + dy * dy;
}

bool Entity::Contains(float x, float y) const
{
    const sf::Vector2f centre = Centre();
    const float r = shape.getRadius();
    const float dx = x - centre.x;
    const float dy = y - centre.y;
    return r * r > dx * dx + dy * dy;
}

sf::Vector2f Entity::Centre() const
{
    const float radius = shape.getRadius();
    return shape.getPosition() + sf::Vector2f(radius, radius);
}

float Entity::FrameTime()
{
    return GameHost::Instance().FrameTime();
}

Scene* Entity::CurrentScene()
{
    return GameHost::Instance().CurrentScene();
}

} // namespace tryzone
