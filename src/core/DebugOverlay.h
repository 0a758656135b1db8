#pragma once

#include <SFML/Graphics/CircleShape.hpp>
#include <SFML/Graphics/RectangleShape.hpp>
#include <SFML/Graphics/Text.hpp>
#include <SFML/Graphics/Vertex.hpp>
#include <array>
#include <cstdint>
#include <string_view>
#include <vector>

namespace sf
{
class RenderTarget;
}

namespace tryzone
{

enum class DebugLayer : std::uint8_t
{
    Background = 0, // under the entities
    Foreground = 1, // over the entities
};

struct DebugLine
{
    std::array<sf::Vertex, 2> vertices;
};

// Immediate-mode drawing queue: every request becomes a drawable that lives until its layer's next flush.
class DebugOverlay
{
public:
    // The calling thread's current world's overlay (core/World.h); the game's when no world is current.
    static DebugOverlay& Instance() { return *active; }

    static void DrawCircle(float x, float y, float radius, sf::Color color, bool outlined, float outlineThickness,
                           DebugLayer layer);
    static void DrawLine(float x1, float y1, float x2, float y2, sf::Color color, DebugLayer layer);
    static void DrawRectangle(sf::Vector2f position, sf::Vector2f size, sf::Color color, DebugLayer layer, bool filled);
    static void DrawText(float x, float y, std::string_view text, float originRatioX, float originRatioY,
                         sf::Color color, DebugLayer layer);
    static void DrawText(float x, float y, std::string_view text, sf::Color color, DebugLayer layer);

    // Draws the layer's items, kind by kind (lines, texts, circles, rectangles), and empties its queues.
    void Flush(sf::RenderTarget& target, DebugLayer layer);
    // The same drawing; the items stay queued unless empty is set.
    void Draw(sf::RenderTarget& target, DebugLayer layer, bool empty);

    // Headless runs switch the overlay off: requests are then dropped before any drawable is built,
    // because laying out a text needs a graphics context.
    static void SetEnabled(bool enabled);
    [[nodiscard]] static bool Enabled();

    // Empties both layers without drawing.
    void Clear();

    std::vector<DebugLine> foregroundLines;
    std::vector<sf::RectangleShape> foregroundRectangles;
    std::vector<sf::Text> foregroundTexts;
    std::vector<sf::CircleShape> foregroundCircles;
    std::vector<DebugLine> backgroundLines;
    std::vector<sf::RectangleShape> backgroundRectangles;
    std::vector<sf::Text> backgroundTexts;
    std::vector<sf::CircleShape> backgroundCircles;

private:
    friend class World;
    friend class WorldScope;

    DebugOverlay() = default;

    // The game's overlay; every thread starts with it current.
    static DebugOverlay game;
    [[gnu::tls_model("initial-exec")]] static inline constinit thread_local DebugOverlay* active = &game;

    void Queue(const DebugLine& line, DebugLayer layer);
    void Queue(const sf::RectangleShape& rectangle, DebugLayer layer);
    void Queue(const sf::Text& text, DebugLayer layer);
    void Queue(const sf::CircleShape& circle, DebugLayer layer);

    bool enabled = true;
};

} // namespace tryzone
