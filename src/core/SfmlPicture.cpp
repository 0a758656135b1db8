#include "core/SfmlPicture.h"

#include <SFML/Graphics/RenderTarget.hpp>
#include <SFML/Graphics/Vertex.hpp>
#include <array>

namespace tryzone
{

namespace
{
sf::Color ToSfml(PictureColor color)
{
    return {color.r, color.g, color.b, color.a};
}
} // namespace

void SfmlPicture::Draw(sf::RenderTarget& target, const FramePicture& picture, const sf::Font& font)
{
    std::size_t textIndex = 0;
    for (const PictureShape& shape : picture.shapes)
    {
        switch (shape.kind)
        {
        case ShapeKind::Line:
        {
            const sf::Color color = ToSfml(shape.color);
            const std::array<sf::Vertex, 2> line{sf::Vertex({shape.x, shape.y}, color, {0.f, 0.f}),
                                                 sf::Vertex({shape.x2, shape.y2}, color, {0.f, 0.f})};
            target.draw(line.data(), 2, sf::Lines, sf::RenderStates::Default);
            break;
        }
        case ShapeKind::Rectangle:
            rectangle.setSize({shape.x2, shape.y2});
            rectangle.setPosition(shape.x, shape.y);
            rectangle.setFillColor(ToSfml(shape.color));
            target.draw(rectangle, sf::RenderStates::Default);
            break;
        case ShapeKind::Circle:
            // Each of these three lays the polygon out again: only when it changes.
            if (circle.getPointCount() != shape.points)
            {
                circle.setPointCount(shape.points);
            }
            if (circle.getRadius() != shape.x2)
            {
                circle.setRadius(shape.x2);
            }
            if (circle.getOutlineThickness() != shape.thickness)
            {
                circle.setOutlineThickness(shape.thickness);
            }
            circle.setFillColor(ToSfml(shape.color));
            circle.setOutlineColor(ToSfml(shape.outline));
            circle.setPosition(shape.x, shape.y);
            target.draw(circle, sf::RenderStates::Default);
            break;
        case ShapeKind::Text:
            DrawText(target, picture, shape, font, textIndex++);
            break;
        }
    }
}

void SfmlPicture::DrawText(sf::RenderTarget& target, const FramePicture& picture, const PictureShape& shape,
                           const sf::Font& font, std::size_t index)
{
    if (index == texts.size())
    {
        texts.emplace_back();
        laidOut.emplace_back();
    }
    sf::Text& text = texts[index];
    const std::string_view characters = picture.Text(shape);
    if (text.getFont() != &font || laidOut[index] != characters)
    {
        laidOut[index].assign(characters);
        text.setFont(font);
        text.setString(laidOut[index]);
    }
    text.setCharacterSize(shape.size);
    text.setFillColor(ToSfml(shape.color));
    text.setPosition(shape.x, shape.y);
    // Only the size of the bounds is used, not their offsets inside the text.
    const sf::FloatRect bounds = text.getLocalBounds();
    text.setOrigin(bounds.width * shape.x2, bounds.height * shape.y2);
    target.draw(text, sf::RenderStates::Default);
}

} // namespace tryzone
