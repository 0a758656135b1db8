#pragma once

#include "core/Entity.h"
#include "core/FramePicture.h"
#include "core/Scene.h"
#include "core/SfmlPicture.h"
#include "core/StepObserver.h"
#include "shape/MatchShape.h"

#include <SFML/Graphics/Font.hpp>
#include <functional>
#include <iostream>
#include <list>
#include <memory>
#include <string>
#include <utility>

namespace sf
{
class RenderTarget;
class RenderWindow;
}

namespace tryzone
{

// The longest frame the simulation advances by, in seconds; a slower frame is simulated as this long. Counts of
// frames turn into match time through kFrameSeconds, the same length as a double.
inline constexpr double kFrameSeconds = 0.00835;
inline constexpr float kMaxFrameTime = static_cast<float>(kFrameSeconds);
static_assert(kMaxFrameTime == 0.00835f);

[[nodiscard]] float CapFrameTime(float elapsedSeconds);

// Owns the window, the current scene and every entity, and runs the frame loop.
class GameHost
{
public:
    // The calling thread's current world's host (core/World.h); the game's when no world is current. Inline, so
    // that the per-frame reads of the frame time and the scene cost a thread-local load, not a call.
    static GameHost& Instance() { return *active; }

    GameHost(const GameHost&) = delete;
    GameHost& operator=(const GameHost&) = delete;
    ~GameHost();

    void OpenWindow(unsigned width, unsigned height, const char* title, unsigned frameRateLimit);

    // The game's scene takes no arguments; a tool's scene may take some.
    template <class T, class... Args> void LaunchScene(Args&&... args)
    {
        // The scene is current before it initialises: the entities it spawns look it up in their constructors.
        scene = std::make_unique<T>(std::forward<Args>(args)...);
        scene->host = this;
        scene->Initialize();
    }

    // Returns once the window has been closed.
    void Run();
    // One simulation step: scene, entities, collisions, then the deferred removals and additions.
    void Update();
    // Draws a frame as Run does, but keeps the overlay's requests (a paused match shows them again) and draws onTop
    // over everything before showing the frame.
    void DrawKeptFrame(const std::function<void(sf::RenderWindow&)>& onTop);
    // Draws the world as a frame shows it (overlay background, entities, overlay foreground) into any target, the
    // overlay's requests kept: a picture of the match for those who have no window of the host's.
    void DrawTo(sf::RenderTarget& target);

    // The frame as the window shows it, as data: the overlay's background shapes, every live entity's circle in list
    // order, then the overlay's foreground shapes, over opaque black. The overlay's requests are kept.
    void Picture(FramePicture& picture) const;

    [[nodiscard]] const sf::Font& DefaultFont() const { return font; }
    [[nodiscard]] float FrameTime() const { return frameTime; }
    [[nodiscard]] Scene* CurrentScene() const { return scene.get(); }
    [[nodiscard]] int WindowWidth() const { return windowWidth; }
    [[nodiscard]] int WindowHeight() const { return windowHeight; }
    [[nodiscard]] sf::RenderWindow* Window() const { return window.get(); }
    [[nodiscard]] const std::list<std::unique_ptr<Entity>>& LiveEntities() const { return entities; }
    [[nodiscard]] const std::list<std::unique_ptr<Entity>>& QueuedEntities() const { return entitiesToAdd; }

    void QueueEntity(std::unique_ptr<Entity> entity);
    // The queued entities join the live list now rather than at the end of the next update: a world restored from a
    // snapshot continues one whose entities were live.
    void AdmitQueuedEntities() { entities.splice(entities.end(), entitiesToAdd); }

    // Stepping without a window: the layout size a window would have had, and the time each Update advances.
    void UseHeadless(int width, int height);
    void SetFrameTime(float seconds) { frameTime = seconds; }
    // Destroys the window, the scene and every entity, and returns to the state of a new host.
    void Reset();
    // Destroys the scene and every entity but keeps the window and the font, for a new match in the same window.
    void EndScene();

    // Loads "Hack-Regular.ttf" from assetDirectory; a failure leaves the font empty and is not an error.
    bool LoadFont();

    // Prefix of the font path; empty, so the font lies in the working directory.
    std::string assetDirectory;
    // Not owned; null in the game. Reset clears it: a match runner sets its own again at each start of a match.
    StepObserver* stepObserver = nullptr;
    // Whoever started the scene the host holds (a match runner), so that it knows its match is still there; not
    // owned, and left alone by Reset.
    void* sceneHolder = nullptr;
    // Where the match's own console lines go ("joueur non valide"); null while a frame already shown is played
    // again. Not owned.
    std::ostream* console = &std::cout;

private:
    friend class World;
    friend class WorldScope;

    // Out of line, so that Instance stays small enough to inline.
    GameHost();

    // The game's host, created before main; every thread starts with it current.
    static GameHost game;
    [[gnu::tls_model("initial-exec")]] static inline constinit thread_local GameHost* active = &game;

    void DrawFrame();
    void DrawWorld(sf::RenderTarget& target, bool emptyOverlay);
    void DestroyWorld();

    std::list<std::unique_ptr<Entity>> entities;
    std::list<std::unique_ptr<Entity>> entitiesToRemove;
    std::list<std::unique_ptr<Entity>> entitiesToAdd;
    std::unique_ptr<sf::RenderWindow> window;
    sf::Font font;
    std::unique_ptr<Scene> scene;
    // The window's picture of each frame and its painter, kept so that drawing a frame allocates nothing.
    FramePicture picture;
    SfmlPicture painter;
    float frameTime = 0.f;
    int windowWidth = -1;
    int windowHeight = -1;
};

} // namespace tryzone
