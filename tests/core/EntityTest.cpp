#include "core/Entity.h"

#include "support/HeadlessWorld.h"

#include <gtest/gtest.h>
#include <memory>

namespace tryzone
{

namespace
{
std::unique_ptr<Entity> MakeAt(float x, float y, float radius = 25.f)
{
    auto entity = std::make_unique<Entity>(radius, sf::Color::Red);
    entity->PlaceAt(x, y, 0.5f, 0.5f);
    return entity;
}
} // namespace

using EntityMovement = HeadlessWorld;

TEST_F(EntityMovement, ConstructionGivesACircleAtRestAtTheOrigin)
{
    const Entity entity(25.f, sf::Color::Blue);
    EXPECT_EQ(entity.shape.getRadius(), 25.f);
    EXPECT_EQ(entity.shape.getPointCount(), 30u);
    EXPECT_EQ(entity.shape.getFillColor(), sf::Color::Blue);
    EXPECT_EQ(entity.shape.getPosition(), sf::Vector2f(0.f, 0.f));
    EXPECT_EQ(entity.shape.getOrigin(), sf::Vector2f(0.f, 0.f));
    EXPECT_FALSE(entity.target.active);
    EXPECT_EQ(entity.target.distance, 0.f);
    EXPECT_EQ(entity.speed, 0.f);
    EXPECT_EQ(entity.tag, -1);
}

TEST_F(EntityMovement, PlaceAtAndPositionAtRoundTrip)
{
    Entity entity(25.f, sf::Color::Red);
    for (const auto& [rx, ry] : {std::pair{0.5f, 0.5f}, {0.f, 0.f}, {1.f, 1.f}, {0.45f, 0.4f}})
    {
        entity.PlaceAt(100.f, 200.f, rx, ry);
        EXPECT_EQ(entity.PositionAt(rx, ry), sf::Vector2f(100.f, 200.f));
    }
    entity.PlaceAt(100.f, 200.f, 0.5f, 0.5f);
    EXPECT_EQ(entity.shape.getPosition(), sf::Vector2f(75.f, 175.f));
    EXPECT_EQ(entity.PositionAt(0.f, 0.f), sf::Vector2f(75.f, 175.f));
    EXPECT_EQ(entity.PositionAt(1.f, 1.f), sf::Vector2f(125.f, 225.f));
}

TEST_F(EntityMovement, TravelStopsOnTheStepThatUsesUpTheDistance)
{
    auto owned = MakeAt(100.f, 100.f);
    Entity& entity = *owned;
    ASSERT_TRUE(entity.MoveTowards(110, 100, 300.f));
    EXPECT_FLOAT_EQ(entity.target.distance, 10.f);
    for (int step = 1; step <= 3; ++step)
    {
        entity.Update();
        EXPECT_TRUE(entity.target.active) << "step " << step;
    }
    entity.Update();
    EXPECT_FALSE(entity.target.active);
    EXPECT_EQ(entity.direction, sf::Vector2f(0.f, 0.f));
    // Four steps of 2.505 pixels: just beyond the target, by less than one step, and no snapping back.
    EXPECT_NEAR(entity.PositionAt(0.5f, 0.5f).x, 110.02f, 0.001f);
    entity.Update();
    EXPECT_NEAR(entity.PositionAt(0.5f, 0.5f).x, 110.02f, 0.001f);
}

TEST_F(EntityMovement, MoveTowardsTheExactCentreKeepsTheTravelButTakesTheSpeed)
{
    auto owned = MakeAt(100.f, 100.f);
    Entity& entity = *owned;
    ASSERT_TRUE(entity.MoveTowards(200, 100, 100.f));
    const Entity::Target before = entity.target;

    EXPECT_FALSE(entity.MoveTowards(100, 100, 250.f));
    EXPECT_EQ(entity.speed, 250.f);
    EXPECT_EQ(entity.direction, sf::Vector2f(1.f, 0.f));
    EXPECT_TRUE(entity.target.active);
    EXPECT_EQ(entity.target.position, before.position);
    EXPECT_EQ(entity.target.distance, before.distance);
}

TEST_F(EntityMovement, NonPositiveSpeedKeepsThePreviousOne)
{
    auto owned = MakeAt(100.f, 100.f);
    Entity& entity = *owned;
    ASSERT_TRUE(entity.MoveTowards(200, 100, 0.f));
    // Never given a speed: it stays put and its remaining distance never shrinks.
    entity.Update();
    EXPECT_EQ(entity.PositionAt(0.5f, 0.5f), sf::Vector2f(100.f, 100.f));
    EXPECT_FLOAT_EQ(entity.target.distance, 100.f);

    ASSERT_TRUE(entity.MoveTowards(200, 100, 120.f));
    ASSERT_TRUE(entity.MoveTowards(200, 150, -5.f));
    EXPECT_EQ(entity.speed, 120.f);
}

TEST_F(EntityMovement, HaltStopsAtOnceAndKeepsTheSpeed)
{
    auto owned = MakeAt(100.f, 100.f);
    Entity& entity = *owned;
    ASSERT_TRUE(entity.MoveTowards(300, 100, 300.f));
    entity.Update();
    entity.Halt();
    const sf::Vector2f stopped = entity.PositionAt(0.5f, 0.5f);
    entity.Update();
    EXPECT_EQ(entity.PositionAt(0.5f, 0.5f), stopped);
    EXPECT_FALSE(entity.target.active);
    EXPECT_EQ(entity.speed, 300.f);
}

TEST_F(EntityMovement, DirectionWithoutTargetKeepsMoving)
{
    auto owned = MakeAt(100.f, 100.f);
    Entity& entity = *owned;
    entity.speed = 100.f;
    entity.direction = {0.f, 1.f};
    entity.Update();
    entity.Update();
    EXPECT_NEAR(entity.PositionAt(0.5f, 0.5f).y, 100.f + 2.f * 0.835f, 1e-4f);
}

TEST(EntityShapeTests, CirclesThatOnlyTouchDoNotOverlap)
{
    const auto a = MakeAt(100.f, 100.f);
    const auto touching = MakeAt(150.f, 100.f);
    const auto overlapping = MakeAt(149.9f, 100.f);
    EXPECT_FALSE(a->Overlaps(touching.get()));
    EXPECT_FALSE(touching->Overlaps(a.get()));
    EXPECT_TRUE(a->Overlaps(overlapping.get()));
    EXPECT_TRUE(overlapping->Overlaps(a.get()));

    const auto ball = MakeAt(100.f, 140.f, 15.f);
    EXPECT_FALSE(a->Overlaps(ball.get()));
    EXPECT_TRUE(MakeAt(100.f, 139.f, 15.f)->Overlaps(a.get()));
}

TEST(EntityShapeTests, APointOnTheCircleIsNotContained)
{
    const auto owned = MakeAt(100.f, 100.f);
    Entity& entity = *owned;
    EXPECT_TRUE(entity.Contains(100.f, 100.f));
    EXPECT_TRUE(entity.Contains(124.9f, 100.f));
    EXPECT_FALSE(entity.Contains(125.f, 100.f));
    EXPECT_FALSE(entity.Contains(100.f, 75.f));
}

} // namespace tryzone
