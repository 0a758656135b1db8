#pragma once

// Drawing with cairo for the heat map's picture: colours, layout, text, arrows and the colour scale.

#include <SFML/Graphics/Color.hpp>
#include <cairo.h>
#include <cstdint>
#include <memory>
#include <string>

namespace tryzone
{

namespace drawing
{
[[nodiscard]] sf::Color Mix(sf::Color under, sf::Color over, float amount);
// From pale yellow for rare squares to deep red for the busiest, over the grass: the pitch and its scale share it.
[[nodiscard]] sf::Color Shade(sf::Color grass, float level);

inline const sf::Color kFieldOfPlay(112, 189, 26);
inline const sf::Color kInGoal(90, 151, 21);
inline const sf::Color kPaper(248, 248, 244);
inline const sf::Color kInk(34, 34, 34);
inline const sf::Color kBlue(20, 40, 220);
inline const sf::Color kRed(210, 20, 20);

// The layout in image pixels. The pitch is drawn at half its size, framed by the caption and blue's direction above,
// red's direction and the colour scale below.
inline constexpr int kScale = 2;
inline constexpr int kSide = 16;
inline constexpr int kTitleBaseline = 22;
inline constexpr int kCaptionBaseline = 40;
inline constexpr int kPitchTop = 70;
inline constexpr int kRowToPitch = 13; // from a direction row's centre to the pitch's edge
inline constexpr int kScaleHeight = 78;
inline constexpr double kTextSize = 12.0;
inline constexpr double kTitleSize = 15.0;

using Surface = std::unique_ptr<cairo_surface_t, decltype(&cairo_surface_destroy)>;
using Context = std::unique_ptr<cairo_t, decltype(&cairo_destroy)>;
using FontFace = std::unique_ptr<cairo_font_face_t, decltype(&cairo_font_face_destroy)>;
using FontOptions = std::unique_ptr<cairo_font_options_t, decltype(&cairo_font_options_destroy)>;

// Throws std::runtime_error when the font cannot be read.
[[nodiscard]] FontFace LoadFont(const std::string& file);
// The font at fixed rendering options, so that the text does not follow the machine's font configuration.
void UseFont(cairo_t* cr, cairo_font_face_t* font);
void SetColour(cairo_t* cr, sf::Color colour);
void Put(unsigned char* data, int stride, int x, int y, sf::Color colour);

enum class Align
{
    Left,
    Centre,
    Right
};

// Draws one line of text and returns its width.
double Text(cairo_t* cr, double x, double baseline, const std::string& text, sf::Color colour,
            Align align = Align::Left, double size = kTextSize);
// A shaft and a head pointing at `to`, along the row at height y.
void Arrow(cairo_t* cr, double from, double to, double y, sf::Color colour);
[[nodiscard]] std::string Thousands(std::int64_t value);
void DrawScale(cairo_t* cr, double left, double right, double top, std::int64_t frames, std::uint32_t busiest);
// The surface as the bytes of a PNG file; throws std::runtime_error when it cannot be encoded.
[[nodiscard]] std::string EncodeSurface(cairo_surface_t* surface);
} // namespace drawing

} // namespace tryzone
