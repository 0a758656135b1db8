#include "core/GameHost.h"

#include "shape/MatchShape.h"
#include "core/DebugOverlay.h"
#include "core/PitchMapping.h"

#include <SFML/Graphics/RenderWindow.hpp>
#include <SFML/Window/Event.hpp>
#include <iostream>

namespace tryzone
{

float CapFrameTime(float elapsedSeconds)
{
    return kMaxFrameTime < elapsedSeconds ? kMaxFrameTime : elapsedSeconds;
}

GameHost::GameHost() = default;

GameHost GameHost::game;

GameHost::~GameHost()
{
    DestroyWorld();
}

void GameHost::DestroyWorld()
{
    // Window first, then the scene, then the entities the scene pointed to.
    window.reset();
    EndScene();
}

void GameHost::EndScene()
{
    scene.reset();
    entities.clear();
    entitiesToRemove.clear();
    entitiesToAdd.clear();
}

void GameHost::OpenWindow(unsigned width, unsigned height, const char* title, unsigned frameRateLimit)
{
    sf::ContextSettings settings;
    settings.antialiasingLevel = 8;
    window = std::make_unique<sf::RenderWindow>(sf::VideoMode(width, height, 32), sf::String(title), sf::Style::Default,
                                                settings);
    window->setFramerateLimit(frameRateLimit);
    windowWidth = static_cast<int>(width);
    windowHeight = static_cast<int>(height);
}

void GameHost::Run()
{
    if (!window)
    {
        std::cout << "Window not created, creating default window" << std::endl;
        OpenWindow(kPitchWidth, kPitchHeight, "Default window", 60);
    }
    (void)LoadFont();

    sf::Clock clock;
    while (window->isOpen())
    {
        frameTime = CapFrameTime(clock.restart().asSeconds());
        sf::Event event;
        while (window->pollEvent(event))
        {
            if (event.type == sf::Event::Closed)
            {
                window->close();
            }
            scene->HandleEvent(EventOnPitch(window->getView(), window->getSize(), event));
        }
        Update();
        DrawFrame();
    }
}

bool GameHost::LoadFont()
{
    // A missing font is not fatal: the texts are then simply not visible.
    return font.loadFromFile(assetDirectory + "Hack-Regular.ttf");
}

void GameHost::DrawFrame()
{
    DrawWorld(*window, true);
    window->display();
}

void GameHost::DrawKeptFrame(const std::function<void(sf::RenderWindow&)>& onTop)
{
    DrawWorld(*window, false);
    onTop(*window);
    window->display();
}

void GameHost::DrawTo(sf::RenderTarget& target)
{
    DrawWorld(target, false);
}

void GameHost::Picture(FramePicture& out) const
{
    const DebugOverlay& overlay = DebugOverlay::Instance();
    out.Clear();
    out.width = windowWidth;
    out.height = windowHeight;
    out.clear = PictureColor{0, 0, 0, 255};
    overlay.AppendTo(out, DebugLayer::Background);
    for (const auto& entity : entities)
    {
        const sf::CircleShape& shape = entity->shape;
        PictureShape circle;
        circle.kind = ShapeKind::Circle;
        circle.points = static_cast<std::uint8_t>(shape.getPointCount());
        circle.color = ToPicture(shape.getFillColor());
        circle.outline = ToPicture(shape.getOutlineColor());
        circle.thickness = shape.getOutlineThickness();
        // The shape's origin is its bounding square's top-left corner.
        circle.x = shape.getPosition().x - shape.getOrigin().x;
        circle.y = shape.getPosition().y - shape.getOrigin().y;
        circle.x2 = shape.getRadius();
        out.Add(circle);
    }
    overlay.AppendTo(out, DebugLayer::Foreground);
}

void GameHost::DrawWorld(sf::RenderTarget& target, bool emptyOverlay)
{
    Picture(picture);
    const PictureColor clear = picture.clear;
    target.clear(sf::Color(clear.r, clear.g, clear.b, clear.a));
    painter.Draw(target, picture, font);
    if (emptyOverlay)
    {
        DebugOverlay::Instance().Clear();
    }
}

void GameHost::Update()
{
    scene->Update();
    if (stepObserver != nullptr)
    {
        stepObserver->AfterSceneUpdate();
    }

    // Removals and additions wait until both passes are over, so neither walk sees the list change under it.
    for (auto it = entities.begin(); it != entities.end();)
    {
        (*it)->Update();
        if (stepObserver != nullptr)
        {
            stepObserver->AfterEntityUpdate(**it);
        }
        const auto next = std::next(it);
        if ((*it)->removeRequested)
        {
            entitiesToRemove.splice(entitiesToRemove.end(), entities, it);
        }
        it = next;
    }

    for (auto a = entities.begin(); a != entities.end(); ++a)
    {
        for (auto b = std::next(a); b != entities.end(); ++b)
        {
            if ((*a)->Overlaps(b->get()))
            {
                (*a)->HandleCollision(b->get());
                (*b)->HandleCollision(a->get());
            }
        }
    }

    entitiesToRemove.clear();
    entities.splice(entities.end(), entitiesToAdd);
}

void GameHost::QueueEntity(std::unique_ptr<Entity> entity)
{
    entitiesToAdd.push_back(std::move(entity));
}

void GameHost::UseHeadless(int width, int height)
{
    windowWidth = width;
    windowHeight = height;
}

void GameHost::Reset()
{
    DestroyWorld();
    font = sf::Font();
    assetDirectory.clear();
    stepObserver = nullptr;
    frameTime = 0.f;
    windowWidth = -1;
    windowHeight = -1;
}

} // namespace tryzone
