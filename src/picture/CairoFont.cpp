#include "picture/CairoFont.h"

#include <cairo-ft.h>
#include <cairo.h>
#include <exception>
#include <ft2build.h>
#include FT_FREETYPE_H

namespace tryzone
{

namespace
{
FT_Library FreeType()
{
    // One library for the whole process: cairo's caches may keep a face after the picture that loaded it.
    static const FT_Library library = []
    {
        FT_Library made = nullptr;
        return FT_Init_FreeType(&made) == 0 ? made : nullptr;
    }();
    return library;
}
} // namespace

void CairoFontRelease::operator()(cairo_font_face_t* font) const
{
    cairo_font_face_destroy(font);
}

Expected<CairoFont> LoadCairoFont(const std::string& file)
{
    FT_Face face = nullptr;
    if (FreeType() == nullptr || FT_New_Face(FreeType(), file.c_str(), 0, &face) != 0)
    {
        return Unexpected{"cannot read the font " + file};
    }
    CairoFont font(cairo_ft_font_face_create_for_ft_face(face, 0));
    // The FreeType face goes with cairo's font face, whenever cairo lets that go.
    static cairo_user_data_key_t faceKey;
    const auto release = [](void* data) { FT_Done_Face(static_cast<FT_Face>(data)); };
    if (cairo_font_face_set_user_data(font.get(), &faceKey, face, release) != CAIRO_STATUS_SUCCESS)
    {
        FT_Done_Face(face);
        return Unexpected{"cannot use the font " + file};
    }
    return font;
}

void UseCairoFont(cairo_t* cr, cairo_font_face_t* font)
{
    cairo_set_font_face(cr, font);
    cairo_font_options_t* options = cairo_font_options_create();
    cairo_font_options_set_antialias(options, CAIRO_ANTIALIAS_GRAY);
    cairo_font_options_set_hint_style(options, CAIRO_HINT_STYLE_SLIGHT);
    cairo_font_options_set_hint_metrics(options, CAIRO_HINT_METRICS_ON);
    cairo_set_font_options(cr, options);
    cairo_font_options_destroy(options);
}

Expected<std::string> SurfacePng(cairo_surface_t* surface)
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
        return Unexpected{std::string("cannot encode the picture: ") + cairo_status_to_string(written)};
    }
    return png;
}

} // namespace tryzone
