#pragma once

#include "files/Expected.h"

#include <memory>
#include <string>

typedef struct _cairo cairo_t;
typedef struct _cairo_surface cairo_surface_t;
typedef struct _cairo_font_face cairo_font_face_t;

namespace tryzone
{

// What every cairo drawing shares: the game's font, laid out as the window lays it out, and PNG encoding.
struct CairoFontRelease
{
    void operator()(cairo_font_face_t* font) const;
};
using CairoFont = std::unique_ptr<cairo_font_face_t, CairoFontRelease>;

// The font file read through FreeType; the reason when it cannot be.
[[nodiscard]] Expected<CairoFont> LoadCairoFont(const std::string& file);
// Draws the context's texts in the font at fixed options (grey anti-aliasing, slight hinting, hinted metrics), so that
// they do not follow the machine's font configuration.
void UseCairoFont(cairo_t* cr, cairo_font_face_t* font);
// The surface as the bytes of a PNG file.
[[nodiscard]] Expected<std::string> SurfacePng(cairo_surface_t* surface);

} // namespace tryzone
