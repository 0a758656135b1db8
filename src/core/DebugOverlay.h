#pragma once

#include "core/FramePicture.h"

#include <SFML/Graphics/Color.hpp>
#include <SFML/System/Vector2.hpp>
#include <cstdint>
#include <string>
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

[[nodiscard]] inline PictureColor ToPicture(sf::Color color)
{
    return {color.r, color.g, color.b, color.a};
}

// Immediate-mode drawing queue: every request becomes a shape of the frame's picture (core/FramePicture.h) that lives
// until its layer is next drawn and emptied.
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

    // Appends the layer's shapes to the picture, kind by kind (lines, texts, circles, rectangles), each kind in
    // request order: on one layer a rectangle covers a circle, a circle a text and a text a line.
    void AppendTo(FramePicture& picture, DebugLayer layer) const;
    // Draws the layer's items in the target as the window does, with the host's font, and empties its queues.
    void Flush(sf::RenderTarget& target, DebugLayer layer);
    // The characters of a text queued on the layer.
    [[nodiscard]] std::string_view TextOf(const PictureShape& text, DebugLayer layer) const;

    // Headless runs that show nothing switch the overlay off: requests are then dropped before anything is built.
    static void SetEnabled(bool enabled);
    [[nodiscard]] static bool Enabled();

    // Empties both layers without drawing.
    void Clear();

    std::vector<PictureShape> foregroundLines;
    std::vector<PictureShape> foregroundRectangles;
    std::vector<PictureShape> foregroundTexts;
    std::vector<PictureShape> foregroundCircles;
    std::vector<PictureShape> backgroundLines;
    std::vector<PictureShape> backgroundRectangles;
    std::vector<PictureShape> backgroundTexts;
    std::vector<PictureShape> backgroundCircles;
    // The layers' texts' characters, one after the other.
    std::string foregroundCharacters;
    std::string backgroundCharacters;

private:
    friend class World;
    friend class WorldScope;

    DebugOverlay() = default;

    // The game's overlay; every thread starts with it current.
    static DebugOverlay game;
    [[gnu::tls_model("initial-exec")]] static inline constinit thread_local DebugOverlay* active = &game;

    void Queue(const PictureShape& shape, DebugLayer layer, std::string_view text = {});
    void ClearLayer(DebugLayer layer);

    bool enabled = true;
};

} // namespace tryzone
