#include "core/DebugOverlay.h"

#include "core/GameHost.h"

#include <SFML/Graphics/RenderTarget.hpp>
#include <string>

namespace tryzone
{

namespace
{
// Picks the layer's queue of one kind; null for a value that names no layer.
template <class T> std::vector<T>* LayerQueue(std::vector<T>& background, std::vector<T>& foreground, DebugLayer layer)
{
    switch (layer)
    {
    case DebugLayer::Background:
        return &background;
    case DebugLayer::Foreground:
        return &foreground;
    }
    return nullptr;
}

template <class T> void Enqueue(std::vector<T>& background, std::vector<T>& foreground, DebugLayer layer, const T& item)
{
    if (auto* queue = LayerQueue(background, foreground, layer))
    {
        queue->push_back(item);
    }
}
} // namespace

DebugOverlay DebugOverlay::game;

void DebugOverlay::SetEnabled(bool enabled)
{
    Instance().enabled = enabled;
}

bool DebugOverlay::Enabled()
{
    return Instance().enabled;
}

void DebugOverlay::DrawCircle(float x, float y, float radius, sf::Color color, bool outlined, float outlineThickness,
                              DebugLayer layer)
{
    DebugOverlay& overlay = Instance();
    if (!overlay.enabled)
    {
        return;
    }
    sf::CircleShape circle(0.f, 30);
    circle.setRadius(radius);
    if (outlined)
    {
        circle.setFillColor(sf::Color::Transparent);
        circle.setOutlineColor(color);
    }
    else
    {
        circle.setFillColor(color);
    }
    circle.setOutlineThickness(outlineThickness);
    circle.setPosition(x - radius, y - radius);
    overlay.Queue(circle, layer);
}

void DebugOverlay::DrawLine(float x1, float y1, float x2, float y2, sf::Color color, DebugLayer layer)
{
    DebugOverlay& overlay = Instance();
    if (!overlay.enabled)
    {
        return;
    }
    const DebugLine line{{sf::Vertex({x1, y1}, color, {0.f, 0.f}), sf::Vertex({x2, y2}, color, {0.f, 0.f})}};
    overlay.Queue(line, layer);
}

void DebugOverlay::DrawRectangle(sf::Vector2f position, sf::Vector2f size, sf::Color color, DebugLayer layer,
                                 bool filled)
{
    DebugOverlay& overlay = Instance();
    if (!overlay.enabled)
    {
        return;
    }
    if (filled)
    {
        sf::RectangleShape rectangle(size);
        rectangle.setPosition(position);
        rectangle.setFillColor(color);
        overlay.Queue(rectangle, layer);
        return;
    }
    const float x = position.x;
    const float y = position.y;
    const float w = size.x;
    const float h = size.y;
    DrawLine(x, y, x + w, y, color, layer);
    DrawLine(x + w, y, x + w, y + h, color, layer);
    DrawLine(x + w, y + h, x, y + h, color, layer);
    DrawLine(x, y + h, x, y, color, layer);
}

void DebugOverlay::DrawText(float x, float y, std::string_view text, float originRatioX, float originRatioY,
                            sf::Color color, DebugLayer layer)
{
    DebugOverlay& overlay = Instance();
    if (!overlay.enabled)
    {
        return;
    }
    sf::Text item;
    item.setFont(GameHost::Instance().DefaultFont());
    item.setString(std::string(text));
    item.setCharacterSize(20);
    item.setFillColor(color);
    item.setPosition(x, y);
    // Only the size of the bounds is used, not their offsets inside the text.
    const sf::FloatRect bounds = item.getLocalBounds();
    item.setOrigin(bounds.width * originRatioX, bounds.height * originRatioY);
    overlay.Queue(item, layer);
}

void DebugOverlay::DrawText(float x, float y, std::string_view text, sf::Color color, DebugLayer layer)
{
    DrawText(x, y, text, 0.f, 0.f, color, layer);
}

void DebugOverlay::Queue(const DebugLine& line, DebugLayer layer)
{
    Enqueue(backgroundLines, foregroundLines, layer, line);
}

void DebugOverlay::Queue(const sf::RectangleShape& rectangle, DebugLayer layer)
{
    Enqueue(backgroundRectangles, foregroundRectangles, layer, rectangle);
}

void DebugOverlay::Queue(const sf::Text& text, DebugLayer layer)
{
    Enqueue(backgroundTexts, foregroundTexts, layer, text);
}

void DebugOverlay::Queue(const sf::CircleShape& circle, DebugLayer layer)
{
    Enqueue(backgroundCircles, foregroundCircles, layer, circle);
}

void DebugOverlay::Flush(sf::RenderTarget& target, DebugLayer layer)
{
    Draw(target, layer, true);
}

void DebugOverlay::Draw(sf::RenderTarget& target, DebugLayer layer, bool empty)
{
    auto* lines = LayerQueue(backgroundLines, foregroundLines, layer);
    if (lines == nullptr)
    {
        return;
    }
    auto& texts = *LayerQueue(backgroundTexts, foregroundTexts, layer);
    auto& circles = *LayerQueue(backgroundCircles, foregroundCircles, layer);
    auto& rectangles = *LayerQueue(backgroundRectangles, foregroundRectangles, layer);

    for (const DebugLine& line : *lines)
    {
        target.draw(line.vertices.data(), 2, sf::Lines, sf::RenderStates::Default);
    }
    for (const sf::Text& text : texts)
    {
        target.draw(text, sf::RenderStates::Default);
    }
    for (const sf::CircleShape& circle : circles)
    {
        target.draw(circle, sf::RenderStates::Default);
    }
    for (const sf::RectangleShape& rectangle : rectangles)
    {
        target.draw(rectangle, sf::RenderStates::Default);
    }
    if (empty)
    {
        // clear() keeps each queue's storage, so a steady frame stops allocating after the first few.
        lines->clear();
        texts.clear();
        circles.clear();
        rectangles.clear();
    }
}

void DebugOverlay::Clear()
{
    foregroundLines.clear();
    foregroundRectangles.clear();
    foregroundTexts.clear();
    foregroundCircles.clear();
    backgroundLines.clear();
    backgroundRectangles.clear();
    backgroundTexts.clear();
    backgroundCircles.clear();
}

} // namespace tryzone
