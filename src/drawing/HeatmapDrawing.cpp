#include "drawing/HeatmapDrawing.h"

#include <array>
#include <cairo-ft.h>
#include <ft2build.h>
#include FT_FREETYPE_H
#include <cmath>
#include <cstdio>
#include <cstring>
#include <stdexcept>

namespace tryzone
{

namespace drawing
{
sf::Color Mix(sf::Color under, sf::Color over, float amount)
{
    const auto channel = [amount](sf::Uint8 a, sf::Uint8 b)
    { return static_cast<sf::Uint8>(std::lround(static_cast<float>(a) + (static_cast<float>(b) - a) * amount)); };
    return sf::Color(channel(under.r, over.r), channel(under.g, over.g), channel(under.b, over.b));
}

sf::Color Shade(sf::Color grass, float level)
{
    const sf::Color heat = Mix(sf::Color(255, 240, 120), sf::Color(200, 0, 0), level);
    return Mix(grass, heat, 0.35f + 0.65f * level);
}

static FT_Library FreeType()
{
    // One library for the whole process: cairo's caches may keep a face after the picture that loaded it.
    static const FT_Library library = []
    {
        FT_Library made = nullptr;
        if (FT_Init_FreeType(&made) != 0)
        {
            throw std::runtime_error("cannot start FreeType");
        }
        return made;
    }();
    return library;
}

FontFace LoadFont(const std::string& file)
{
    FT_Face face = nullptr;
    if (FT_New_Face(FreeType(), file.c_str(), 0, &face) != 0)
    {
        throw std::runtime_error("cannot read the font " + file);
    }
    FontFace font(cairo_ft_font_face_create_for_ft_face(face, 0), &cairo_font_face_destroy);
    // The FreeType face goes with cairo's font face, whenever cairo lets that go.
    static cairo_user_data_key_t faceKey;
    const auto release = [](void* data) { FT_Done_Face(static_cast<FT_Face>(data)); };
    if (cairo_font_face_set_user_data(font.get(), &faceKey, face, release) != CAIRO_STATUS_SUCCESS)
    {
        FT_Done_Face(face);
        throw std::runtime_error("cannot use the font " + file);
    }
    return font;
}

void SetColour(cairo_t* cr, sf::Color colour)
{
    cairo_set_source_rgb(cr, colour.r / 255.0, colour.g / 255.0, colour.b / 255.0);
}

void Put(unsigned char* data, int stride, int x, int y, sf::Color colour)
{
    const std::uint32_t pixel = (std::uint32_t{colour.r} << 16) | (std::uint32_t{colour.g} << 8) | colour.b;
    std::memcpy(data + static_cast<std::ptrdiff_t>(y) * stride + static_cast<std::ptrdiff_t>(x) * 4, &pixel, 4);
}

double Text(cairo_t* cr, double x, double baseline, const std::string& text, sf::Color colour,
            Align align, double size)
{
    cairo_set_font_size(cr, size);
    cairo_text_extents_t extents{};
    cairo_text_extents(cr, text.c_str(), &extents);
    const double width = extents.x_advance;
    const double shift = align == Align::Left ? 0.0 : align == Align::Centre ? width / 2.0 : width;
    SetColour(cr, colour);
    cairo_move_to(cr, std::round(x - shift), baseline);
    cairo_show_text(cr, text.c_str());
    return width;
}

static double TextWidth(cairo_t* cr, const std::string& text)
{
    cairo_set_font_size(cr, kTextSize);
    cairo_text_extents_t extents{};
    cairo_text_extents(cr, text.c_str(), &extents);
    return extents.x_advance;
}

void Arrow(cairo_t* cr, double from, double to, double y, sf::Color colour)
{
    constexpr double kHeadLength = 11.0;
    constexpr double kHeadHalfWidth = 6.0;
    const double back = to > from ? -kHeadLength : kHeadLength;
    SetColour(cr, colour);
    cairo_set_line_width(cr, 3.0);
    cairo_move_to(cr, from, y);
    cairo_line_to(cr, to + back, y);
    cairo_stroke(cr);
    cairo_move_to(cr, to, y);
    cairo_line_to(cr, to + back, y - kHeadHalfWidth);
    cairo_line_to(cr, to + back, y + kHeadHalfWidth);
    cairo_close_path(cr);
    cairo_fill(cr);
}

std::string Thousands(std::int64_t value)
{
    const std::string digits = std::to_string(value);
    std::string grouped;
    for (std::size_t at = 0; at < digits.size(); ++at)
    {
        const std::size_t left = digits.size() - at;
        if (at > 0 && digits[at - 1] != '-' && left % 3 == 0)
        {
            grouped += ',';
        }
        grouped += digits[at];
    }
    return grouped;
}

static std::string Percent(double percent, int decimals)
{
    std::array<char, 32> text{};
    std::snprintf(text.data(), text.size(), "%.*f%%", std::max(decimals, 0), percent);
    return text.data();
}

// The colour scale: plain grass for squares the ball never visited, then the shades by share of time with a tick at
// each power of ten and at the busiest square's share.
void DrawScale(cairo_t* cr, double left, double right, double top, std::int64_t frames, std::uint32_t busiest)
{
    Text(cr, left, top + 12.0, "Share of the time the ball spent in each 2 \u00d7 2 px square, logarithmic scale",
         kInk);
    const double barTop = top + 20.0;
    constexpr double kBarHeight = 14.0;
    constexpr double kSwatch = 26.0;
    const double labelBaseline = barTop + kBarHeight + 17.0;

    SetColour(cr, kFieldOfPlay);
    cairo_rectangle(cr, left, barTop, kSwatch, kBarHeight);
    cairo_fill(cr);
    Text(cr, left + kSwatch / 2.0, labelBaseline, "0%", kInk, Align::Centre);

    const double barLeft = left + kSwatch + 14.0;
    const int barWidth = static_cast<int>(right - barLeft);
    for (int column = 0; column < barWidth; ++column)
    {
        SetColour(cr, Shade(kFieldOfPlay, (static_cast<float>(column) + 0.5f) / static_cast<float>(barWidth)));
        cairo_rectangle(cr, barLeft + column, barTop, 1.0, kBarHeight);
        cairo_fill(cr);
    }
    SetColour(cr, sf::Color(120, 120, 120));
    cairo_set_line_width(cr, 1.0);
    cairo_rectangle(cr, left - 0.5, barTop - 0.5, kSwatch + 1.0, kBarHeight + 1.0);
    cairo_rectangle(cr, barLeft - 0.5, barTop - 0.5, barWidth + 1.0, kBarHeight + 1.0);
    cairo_stroke(cr);
    if (frames <= 0 || busiest == 0)
    {
        return;
    }

    const double scale = std::log1p(static_cast<double>(busiest));
    const auto tick = [&](double count, const std::string& label, double labelLeft)
    {
        const double x = std::round(barLeft + barWidth * std::log1p(count) / scale) - 0.5;
        SetColour(cr, kInk);
        cairo_move_to(cr, x, barTop + kBarHeight);
        cairo_line_to(cr, x, barTop + kBarHeight + 5.0);
        cairo_stroke(cr);
        Text(cr, labelLeft, labelBaseline, label, kInk);
    };
    // Shares that are not powers of ten get two significant digits. The busiest square's label ends with the bar.
    const auto share = [frames](double count)
    {
        const double percent = 100.0 * count / static_cast<double>(frames);
        return Percent(percent, 1 - static_cast<int>(std::floor(std::log10(percent))));
    };
    const std::string topLabel = "max " + share(busiest);
    const double topLeft = barLeft + barWidth - TextWidth(cr, topLabel);
    tick(busiest, topLabel, topLeft);
    // Then one frame, the faintest colour, and the powers of ten between, each label where it does not crowd another.
    double free = barLeft - 6.0;
    const auto place = [&](double count, const std::string& label)
    {
        const double width = TextWidth(cr, label);
        const double labelLeft = std::max(barLeft + barWidth * std::log1p(count) / scale - width / 2.0, barLeft - 6.0);
        if (labelLeft >= free && labelLeft + width + 8.0 <= topLeft)
        {
            tick(count, label, labelLeft);
            free = labelLeft + width + 8.0;
        }
    };
    if (busiest > 1)
    {
        place(1.0, share(1.0));
    }
    for (int exponent = -9; exponent <= 0; ++exponent)
    {
        const double count = std::pow(10.0, exponent) * static_cast<double>(frames);
        if (count > 1.0 && count < busiest)
        {
            place(count, Percent(std::pow(10.0, exponent + 2), -(exponent + 2)));
        }
    }
}

void UseFont(cairo_t* cr, cairo_font_face_t* font)
{
    cairo_set_font_face(cr, font);
    const FontOptions options(cairo_font_options_create(), &cairo_font_options_destroy);
    cairo_font_options_set_antialias(options.get(), CAIRO_ANTIALIAS_GRAY);
    cairo_font_options_set_hint_style(options.get(), CAIRO_HINT_STYLE_SLIGHT);
    cairo_font_options_set_hint_metrics(options.get(), CAIRO_HINT_METRICS_ON);
    cairo_set_font_options(cr, options.get());
}

std::string EncodeSurface(cairo_surface_t* surface)
{
    std::string png;
    const auto append = [](void* closure, const unsigned char* bytes, unsigned int length) -> cairo_status_t
    {
        try
        {
            static_cast<std::string*>(closure)->append(reinterpret_cast<const char*>(bytes), length);
            return CAIRO_STATUS_SUCCESS;
        }
        catch (const std::exception&)
        {
            return CAIRO_STATUS_NO_MEMORY; // never let an exception through cairo's C frames
        }
    };
    const cairo_status_t written = cairo_surface_write_to_png_stream(surface, append, &png);
    if (written != CAIRO_STATUS_SUCCESS)
    {
        throw std::runtime_error(std::string("cannot encode the heat map: ") + cairo_status_to_string(written));
    }
    return png;
}
} // namespace drawing

} // namespace tryzone
