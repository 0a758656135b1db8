#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace tryzone
{

struct PictureColor
{
    std::uint8_t r = 0;
    std::uint8_t g = 0;
    std::uint8_t b = 0;
    std::uint8_t a = 255;

    friend bool operator==(const PictureColor&, const PictureColor&) = default;
};

enum class ShapeKind : std::uint8_t
{
    Line,
    Text,
    Circle,
    Rectangle,
};

// One thing to draw, in window pixels. What the fields mean depends on the kind:
//   Line       (x, y) to (x2, y2), in color, one pixel wide
//   Rectangle  top-left (x, y), size (x2, y2), filled with color
//   Circle     the top-left corner of its bounding square (x, y), radius x2, filled with color, a polygon of
//              `points` corners; an outline of `thickness` pixels in outline, drawn outward from the edge
//   Text       at (x, y), moved back by (x2, y2) times the width and height of its own bounds, size pixels high,
//              in color; the characters are the picture's, from textStart
struct PictureShape
{
    ShapeKind kind = ShapeKind::Line;
    std::uint8_t points = 30;
    std::uint16_t size = 20;
    PictureColor color;
    PictureColor outline{255, 255, 255, 255};
    float x = 0.f;
    float y = 0.f;
    float x2 = 0.f;
    float y2 = 0.f;
    float thickness = 0.f;
    std::uint32_t textStart = 0;
    std::uint32_t textLength = 0;
};

// One frame's picture as data: what the match asked to draw, in drawing order, over a clear colour. Renderers draw
// it without knowing what it shows. Clearing keeps the storage, so a picture rebuilt every frame stops allocating.
struct FramePicture
{
    int width = 0;
    int height = 0;
    PictureColor clear{0, 0, 0, 255};
    std::vector<PictureShape> shapes;
    std::string characters; // every text's characters, one after the other

    void Clear()
    {
        shapes.clear();
        characters.clear();
    }
    // Appends a shape; a text's characters are given here, and its textStart and textLength set.
    void Add(PictureShape shape, std::string_view text = {})
    {
        shape.textStart = static_cast<std::uint32_t>(characters.size());
        shape.textLength = static_cast<std::uint32_t>(text.size());
        characters.append(text);
        shapes.push_back(shape);
    }
    [[nodiscard]] std::string_view Text(const PictureShape& shape) const
    {
        return std::string_view(characters).substr(shape.textStart, shape.textLength);
    }
};

} // namespace tryzone
