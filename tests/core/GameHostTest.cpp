#include "support/HeadlessWorld.h"

#include <algorithm>
#include <functional>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace tryzone
{

namespace
{
std::vector<std::string> journal;

class Probe : public Entity
{
public:
    Probe(float radius, const sf::Color& color) : Entity(radius, color) {}
    ~Probe() override { journal.push_back(name + " destroyed"); }

    void Tick() override
    {
        ++updates;
        journal.push_back(name + " update");
        if (onTick)
        {
            onTick();
        }
    }

    void HandleCollision(Entity* other) override
    {
        journal.push_back(name + " hit " + static_cast<Probe*>(other)->name);
        if (onCollision)
        {
            onCollision();
        }
    }

    std::string name;
    int updates = 0;
    std::function<void()> onTick;
    std::function<void()> onCollision;
};

class ProbeScene : public Scene
{
public:
    void Initialize() override
    {
        if (onInitialize)
        {
            onInitialize(*this);
        }
    }
    void HandleEvent(const sf::Event&) override {}
    void Update() override
    {
        ++updates;
        journal.push_back("scene update");
    }

    Probe* SpawnProbe(const std::string& name, float x, float y)
    {
        Probe* probe = Spawn<Probe>(25.f, sf::Color::White);
        probe->name = name;
        probe->PlaceAt(x, y, 0.5f, 0.5f);
        return probe;
    }

    int updates = 0;
    std::function<void(ProbeScene&)> onInitialize;
};

bool IsLive(const GameHost& host, const Entity* entity)
{
    for (const auto& live : host.LiveEntities())
    {
        if (live.get() == entity)
        {
            return true;
        }
    }
    return false;
}

class GameHostTest : public HeadlessWorld
{
protected:
    void SetUp() override
    {
        HeadlessWorld::SetUp();
        journal.clear();
    }

    ProbeScene& Launch(std::function<void(ProbeScene&)> onInitialize = {})
    {
        // The hook must be in place before LaunchScene runs Initialize, so it travels through a static.
        pendingInitialize = std::move(onInitialize);
        host.LaunchScene<ScriptedScene>();
        return *static_cast<ProbeScene*>(host.CurrentScene());
    }

    struct ScriptedScene : ProbeScene
    {
        ScriptedScene() { onInitialize = std::move(pendingInitialize); }
    };
    static inline std::function<void(ProbeScene&)> pendingInitialize;
};
} // namespace

TEST(FrameTime, IsCappedAtTheLongestSimulatedFrame)
{
    EXPECT_EQ(CapFrameTime(0.5f), 0.00835f);
    EXPECT_EQ(CapFrameTime(0.00836f), 0.00835f);
    EXPECT_EQ(CapFrameTime(0.00835f), 0.00835f);
    EXPECT_EQ(CapFrameTime(0.004f), 0.004f);
    EXPECT_EQ(CapFrameTime(0.f), 0.f);
}

TEST_F(GameHostTest, LaunchMakesTheSceneCurrentBeforeItInitialises)
{
    Scene* seenDuringInitialize = nullptr;
    GameHost* hostDuringInitialize = nullptr;
    ProbeScene& scene = Launch(
        [&](ProbeScene& s)
        {
            seenDuringInitialize = GameHost::Instance().CurrentScene();
            hostDuringInitialize = s.host;
        });
    EXPECT_EQ(seenDuringInitialize, &scene);
    EXPECT_EQ(hostDuringInitialize, &host);
    EXPECT_EQ(scene.WindowWidth(), 1280);
    EXPECT_EQ(scene.WindowHeight(), 720);
}

TEST_F(GameHostTest, EntitiesSpawnedInInitializeJoinAtTheEndOfTheFirstUpdate)
{
    Probe* probe = nullptr;
    Launch([&](ProbeScene& s) { probe = s.SpawnProbe("a", 100.f, 100.f); });
    EXPECT_FALSE(IsLive(host, probe));
    ASSERT_EQ(host.QueuedEntities().size(), 1u);

    Step();
    EXPECT_TRUE(IsLive(host, probe)); // drawn at the end of this frame...
    EXPECT_EQ(probe->updates, 0);     // ...but not yet updated
    EXPECT_TRUE(host.QueuedEntities().empty());

    Step();
    EXPECT_EQ(probe->updates, 1);
}

TEST_F(GameHostTest, AnEntitySpawnedDuringAFrameIsUpdatedFromTheNextOne)
{
    Probe* child = nullptr;
    ProbeScene* scene = nullptr;
    Launch(
        [&](ProbeScene& s)
        {
            scene = &s;
            Probe* parent = s.SpawnProbe("parent", 100.f, 100.f);
            parent->onTick = [&, parent]
            {
                if (child == nullptr)
                {
                    child = scene->SpawnProbe("child", 500.f, 500.f);
                }
                parent->onTick = nullptr;
            };
        });
    Step(2);
    ASSERT_NE(child, nullptr);
    EXPECT_TRUE(IsLive(host, child));
    EXPECT_EQ(child->updates, 0);
    Step();
    EXPECT_EQ(child->updates, 1);
}

TEST_F(GameHostTest, CollisionsAreReportedOncePerPairEarlierEntityFirst)
{
    Launch(
        [](ProbeScene& s)
        {
            s.SpawnProbe("a", 100.f, 100.f);
            s.SpawnProbe("b", 600.f, 100.f);
            s.SpawnProbe("c", 140.f, 100.f);  // overlaps a
            s.SpawnProbe("d", 650.f, 100.f);  // only touches b
            s.SpawnProbe("e", 649.9f, 100.f); // overlaps b and d
        });
    Step(2);
    journal.erase(std::remove_if(journal.begin(), journal.end(),
                                 [](const std::string& line) { return line.find(" hit ") == std::string::npos; }),
                  journal.end());
    // One frame of collisions only (the first frame had no live entities).
    const std::vector<std::string> expected{"a hit c", "c hit a", "b hit e", "e hit b", "d hit e", "e hit d"};
    EXPECT_EQ(journal, expected);
}

TEST_F(GameHostTest, SceneUpdatesFirstThenEntitiesInListOrder)
{
    Launch(
        [](ProbeScene& s)
        {
            s.SpawnProbe("a", 100.f, 100.f);
            s.SpawnProbe("b", 400.f, 100.f);
        });
    Step(2);
    const std::vector<std::string> expected{"scene update", "scene update", "a update", "b update"};
    EXPECT_EQ(journal, expected);
}

TEST_F(GameHostTest, StepObserverLooksAfterTheSceneAndAfterEachEntityBeforeCollisions)
{
    struct Watcher : StepObserver
    {
        void AfterSceneUpdate() override { journal.push_back("after scene"); }
        void AfterEntityUpdate(const Entity& entity) override
        {
            journal.push_back("after " + static_cast<const Probe&>(entity).name);
        }
    } watcher;
    Launch(
        [](ProbeScene& s)
        {
            s.SpawnProbe("a", 100.f, 100.f);
            s.SpawnProbe("b", 140.f, 100.f); // overlaps a
        });
    Step();
    journal.clear();
    host.stepObserver = &watcher;

    Step();

    const std::vector<std::string> expected{"scene update", "after scene", "a update", "after a",
                                            "b update",     "after b",     "a hit b",  "b hit a"};
    EXPECT_EQ(journal, expected);
    host.Reset();
    EXPECT_EQ(host.stepObserver, nullptr);
}

TEST_F(GameHostTest, RemovalFlaggedBeforeItsUpdateDestroysItAfterThatUpdate)
{
    Probe* doomed = nullptr;
    Launch(
        [&](ProbeScene& s)
        {
            doomed = s.SpawnProbe("doomed", 100.f, 100.f);
            s.SpawnProbe("other", 130.f, 100.f); // overlaps: must not hear from a removed entity
        });
    Step();
    journal.clear();
    doomed->removeRequested = true;
    Step();
    const std::vector<std::string> expected{"scene update", "doomed update", "other update", "doomed destroyed"};
    EXPECT_EQ(journal, expected);
    EXPECT_EQ(host.LiveEntities().size(), 1u);
}

TEST_F(GameHostTest, RemovalFlaggedInACollisionWaitsForTheNextFrame)
{
    Probe* a = nullptr;
    Launch(
        [&](ProbeScene& s)
        {
            a = s.SpawnProbe("a", 100.f, 100.f);
            s.SpawnProbe("b", 130.f, 100.f);
            s.SpawnProbe("c", 120.f, 110.f);
        });
    Step();
    a->onCollision = [&] { a->removeRequested = true; };
    journal.clear();
    Step();
    // Flagged on its first hit, it still takes part in the rest of the pass and lives through the frame.
    EXPECT_NE(std::find(journal.begin(), journal.end(), "a hit c"), journal.end());
    EXPECT_TRUE(IsLive(host, a));
    EXPECT_EQ(std::find(journal.begin(), journal.end(), "a destroyed"), journal.end());

    a->onCollision = nullptr;
    journal.clear();
    Step();
    EXPECT_EQ(journal.front(), "scene update");
    EXPECT_EQ(journal[1], "a update");
    EXPECT_EQ(journal.back(), "a destroyed");
    EXPECT_EQ(host.LiveEntities().size(), 2u);
}

TEST_F(GameHostTest, AnEmptyWorldStillUpdatesTheScene)
{
    ProbeScene& scene = Launch();
    Step(3);
    EXPECT_EQ(scene.updates, 3);
    EXPECT_TRUE(host.LiveEntities().empty());
}

TEST_F(GameHostTest, ResetReturnsToTheCreatedState)
{
    Launch([](ProbeScene& s) { s.SpawnProbe("a", 100.f, 100.f); });
    Step();
    host.Reset();
    EXPECT_EQ(journal.back(), "a destroyed");
    EXPECT_EQ(host.CurrentScene(), nullptr);
    EXPECT_TRUE(host.LiveEntities().empty());
    EXPECT_TRUE(host.QueuedEntities().empty());
    EXPECT_EQ(host.WindowWidth(), -1);
    EXPECT_EQ(host.WindowHeight(), -1);
    EXPECT_EQ(host.FrameTime(), 0.f);
    EXPECT_EQ(host.Window(), nullptr);
}

} // namespace tryzone
