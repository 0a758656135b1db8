#include "core/DebugOverlay.h"

#include "core/GameHost.h"
#include "core/SfmlPicture.h"

namespace tryzone
{

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
    PictureShape circle;
    circle.kind = ShapeKind::Circle;
    circle.points = 30;
    circle.x2 = radius;
    // Outlined: a transparent inside. Filled: the outline keeps the shape's default colour, white.
    circle.color = outlined ? PictureColor{0, 0, 0, 0} : ToPicture(color);
    circle.outline = outlined ? ToPicture(color) : PictureColor{255, 255, 255, 255};
    circle.thickness = outlineThickness;
    circle.x = x - radius;
    circle.y = y - radius;
    overlay.Queue(circle, layer);
}

void DebugOverlay::DrawLine(float x1, float y1, float x2, float y2, sf::Color color, DebugLayer layer)
{
    DebugOverlay& overlay = Instance();
    if (!overlay.enabled)
    {
        return;
    }
    PictureShape line;
    line.kind = ShapeKind::Line;
    line.color = ToPicture(color);
    line.x = x1;
    line.y = y1;
    line.x2 = x2;
    line.y2 = y2;
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
        PictureShape rectangle;
        rectangle.kind = ShapeKind::Rectangle;
        rectangle.color = ToPicture(color);
        rectangle.x = position.x;
        rectangle.y = position.y;
        rectangle.x2 = size.x;
        rectangle.y2 = size.y;
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
    // Laid out only when drawn: each renderer measures the text's bounds with its own font engine.
    PictureShape item;
    item.kind = ShapeKind::Text;
    item.size = 20;
    item.color = ToPicture(color);
    item.x = x;
    item.y = y;
    item.x2 = originRatioX;
    item.y2 = originRatioY;
    overlay.Queue(item, layer, text);
}

void DebugOverlay::DrawText(float x, float y, std::string_view text, sf::Color color, DebugLayer layer)
{
    DrawText(x, y, text, 0.f, 0.f, color, layer);
}

void DebugOverlay::Queue(const PictureShape& shape, DebugLayer layer, std::string_view text)
{
    const bool background = layer == DebugLayer::Background;
    if (!background && layer != DebugLayer::Foreground)
    {
        return;
    }
    std::vector<PictureShape>* queue = nullptr;
    switch (shape.kind)
    {
    case ShapeKind::Line:
        queue = background ? &backgroundLines : &foregroundLines;
        break;
    case ShapeKind::Text:
        queue = background ? &backgroundTexts : &foregroundTexts;
        break;
    case ShapeKind::Circle:
        queue = background ? &backgroundCircles : &foregroundCircles;
        break;
    case ShapeKind::Rectangle:
        queue = background ? &backgroundRectangles : &foregroundRectangles;
        break;
    }
    std::string& characters = background ? backgroundCharacters : foregroundCharacters;
    PictureShape queued = shape;
    queued.textStart = static_cast<std::uint32_t>(characters.size());
    queued.textLength = static_cast<std::uint32_t>(text.size());
    characters.append(text);
    queue->push_back(queued);
}

std::string_view DebugOverlay::TextOf(const PictureShape& text, DebugLayer layer) const
{
    const std::string& characters = layer == DebugLayer::Background ? backgroundCharacters : foregroundCharacters;
    return std::string_view(characters).substr(text.textStart, text.textLength);
}

void DebugOverlay::AppendTo(FramePicture& picture, DebugLayer layer) const
{
    if (layer != DebugLayer::Background && layer != DebugLayer::Foreground)
    {
        return;
    }
    const bool background = layer == DebugLayer::Background;
    for (const auto* queue :
         {background ? &backgroundLines : &foregroundLines, background ? &backgroundTexts : &foregroundTexts,
          background ? &backgroundCircles : &foregroundCircles,
          background ? &backgroundRectangles : &foregroundRectangles})
    {
        for (const PictureShape& shape : *queue)
        {
            picture.Add(shape, TextOf(shape, layer));
        }
    }
}

void DebugOverlay::Flush(sf::RenderTarget& target, DebugLayer layer)
{
    if (layer != DebugLayer::Background && layer != DebugLayer::Foreground)
    {
        return;
    }
    thread_local FramePicture picture;
    thread_local SfmlPicture painter;
    picture.Clear();
    AppendTo(picture, layer);
    painter.Draw(target, picture, GameHost::Instance().DefaultFont());
    ClearLayer(layer);
}

void DebugOverlay::ClearLayer(DebugLayer layer)
{
    // clear() keeps each queue's storage, so a steady frame stops allocating after the first few.
    const bool background = layer == DebugLayer::Background;
    for (auto* queue :
         {background ? &backgroundLines : &foregroundLines, background ? &backgroundTexts : &foregroundTexts,
          background ? &backgroundCircles : &foregroundCircles,
          background ? &backgroundRectangles : &foregroundRectangles})
    {
        queue->clear();
    }
    (background ? backgroundCharacters : foregroundCharacters).clear();
}

void DebugOverlay::Clear()
{
    ClearLayer(DebugLayer::Background);
    ClearLayer(DebugLayer::Foreground);
}

} // namespace tryzone
