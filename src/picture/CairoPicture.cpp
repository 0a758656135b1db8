#include "picture/CairoPicture.h"

#include <array>
#include <cairo.h>
#include <cmath>
#include <filesystem>
#include <numbers>
#include <string_view>

namespace tryzone
{

namespace
{
void SetSource(cairo_t* cr, PictureColor color)
{
    cairo_set_source_rgba(cr, color.r / 255.0, color.g / 255.0, color.b / 255.0, color.a / 255.0);
}

// The window's circle: the polygon of `points` corners SFML lays out, the first at the top, at the given radius
// around the bounding square's centre.
void Polygon(cairo_t* cr, const PictureShape& shape, double radius)
{
    const double centreX = double{shape.x} + double{shape.x2};
    const double centreY = double{shape.y} + double{shape.x2};
    const int points = shape.points < 3 ? 3 : shape.points;
    for (int i = 0; i < points; ++i)
    {
        const double angle = i * 2.0 * std::numbers::pi / points - std::numbers::pi / 2.0;
        // A new path: after a text cairo's current point is where the text ended, and a line from there would
        // join the polygon.
        (i == 0 ? cairo_move_to : cairo_line_to)(cr, centreX + std::cos(angle) * radius,
                                                 centreY + std::sin(angle) * radius);
    }
    cairo_close_path(cr);
}
} // namespace

Expected<std::string> FindFontFile()
{
    namespace fs = std::filesystem;
    std::vector<fs::path> candidates{TRYZONE_FONT_FILE};
    std::error_code error;
    const fs::path program = fs::read_symlink("/proc/self/exe", error);
    if (!error)
    {
        candidates.push_back(program.parent_path() / "Hack-Regular.ttf");
    }
    candidates.emplace_back("Hack-Regular.ttf");
    for (const fs::path& candidate : candidates)
    {
        if (fs::is_regular_file(candidate, error))
        {
            return candidate.string();
        }
    }
    return Unexpected{"cannot find the font Hack-Regular.ttf (from the Debian package fonts-hack-ttf)"};
}

Expected<std::unique_ptr<CairoPicture>> CairoPicture::Make(const std::string& fontFile)
{
    Expected<CairoFont> loaded = LoadCairoFont(fontFile);
    if (!loaded)
    {
        return loaded.Error();
    }
    std::unique_ptr<CairoPicture> made(new CairoPicture());
    made->font = std::move(*loaded);
    return made;
}

CairoPicture::~CairoPicture()
{
    if (cr != nullptr)
    {
        cairo_destroy(cr);
    }
    if (surface != nullptr)
    {
        cairo_surface_destroy(surface);
    }
}

void CairoPicture::Resize(int newWidth, int newHeight)
{
    if (surface != nullptr && newWidth == width && newHeight == height)
    {
        return;
    }
    if (cr != nullptr)
    {
        cairo_destroy(cr);
        cairo_surface_destroy(surface);
    }
    width = newWidth;
    height = newHeight;
    surface = cairo_image_surface_create(CAIRO_FORMAT_RGB24, width, height);
    cr = cairo_create(surface);
    UseCairoFont(cr, font.get());
}

void CairoPicture::Draw(const FramePicture& picture)
{
    Resize(picture.width > 0 ? picture.width : 1, picture.height > 0 ? picture.height : 1);
    SetSource(cr, picture.clear);
    cairo_paint(cr);
    for (const PictureShape& shape : picture.shapes)
    {
        switch (shape.kind)
        {
        case ShapeKind::Line:
            // A one-pixel line through pixel centres, as the window rasterises it.
            SetSource(cr, shape.color);
            cairo_set_line_width(cr, 1.0);
            cairo_move_to(cr, double{shape.x} + 0.5, double{shape.y} + 0.5);
            cairo_line_to(cr, double{shape.x2} + 0.5, double{shape.y2} + 0.5);
            cairo_stroke(cr);
            break;
        case ShapeKind::Rectangle:
            SetSource(cr, shape.color);
            cairo_rectangle(cr, shape.x, shape.y, shape.x2, shape.y2);
            cairo_fill(cr);
            break;
        case ShapeKind::Circle:
            if (shape.color.a > 0)
            {
                SetSource(cr, shape.color);
                Polygon(cr, shape, shape.x2);
                cairo_fill(cr);
            }
            if (shape.thickness > 0.f && shape.outline.a > 0)
            {
                // The outline grows outward from the edge, as the window's does.
                SetSource(cr, shape.outline);
                cairo_set_line_width(cr, shape.thickness);
                Polygon(cr, shape, double{shape.x2} + double{shape.thickness} / 2.0);
                cairo_stroke(cr);
            }
            break;
        case ShapeKind::Text:
            DrawText(picture, shape);
            break;
        }
    }
    cairo_surface_flush(surface);
}

void CairoPicture::DrawText(const FramePicture& picture, const PictureShape& shape)
{
    // cairo wants a terminated string; texts are short, so a small buffer serves without allocating.
    std::array<char, 256> text{};
    const std::string_view characters = picture.Text(shape).substr(0, text.size() - 1);
    characters.copy(text.data(), characters.size());
    cairo_set_font_size(cr, shape.size);
    cairo_text_extents_t extents{};
    cairo_text_extents(cr, text.data(), &extents);
    // The window puts the first baseline one character size below the text's position, and moves the text back by
    // the ratios of its bounds' size.
    const double x = double{shape.x} - extents.width * double{shape.x2};
    const double y = double{shape.y} - extents.height * double{shape.y2} + shape.size;
    SetSource(cr, shape.color);
    cairo_move_to(cr, x, y);
    cairo_show_text(cr, text.data());
}

void CairoPicture::CopyRgb(std::uint8_t* out) const
{
    const unsigned char* data = cairo_image_surface_get_data(surface);
    const int stride = cairo_image_surface_get_stride(surface);
    for (int row = 0; row < height; ++row)
    {
        const auto* pixels = reinterpret_cast<const std::uint32_t*>(data + static_cast<std::ptrdiff_t>(row) * stride);
        for (int column = 0; column < width; ++column)
        {
            const std::uint32_t pixel = pixels[column];
            *out++ = static_cast<std::uint8_t>(pixel >> 16);
            *out++ = static_cast<std::uint8_t>(pixel >> 8);
            *out++ = static_cast<std::uint8_t>(pixel);
        }
    }
}

std::vector<std::uint8_t> CairoPicture::Rgb() const
{
    std::vector<std::uint8_t> rgb(static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * 3);
    CopyRgb(rgb.data());
    return rgb;
}

Expected<std::string> CairoPicture::Png() const
{
    return SurfacePng(surface);
}

} // namespace tryzone
