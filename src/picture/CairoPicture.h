#pragma once

#include "core/FramePicture.h"
#include "files/Expected.h"
#include "picture/CairoFont.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace tryzone
{

// The game's font file: the one the build found, else Hack-Regular.ttf beside the program or in the working folder.
[[nodiscard]] Expected<std::string> FindFontFile();

// Draws frame pictures with cairo, in memory: no display, no window. Lines, rectangles and circles keep the window's
// geometry (a circle is the same polygon); edges are smoothed and texts laid out by FreeType, so a picture differs
// from the window's by anti-aliasing only.
class CairoPicture
{
public:
    // Reads the font texts are drawn with.
    [[nodiscard]] static Expected<std::unique_ptr<CairoPicture>> Make(const std::string& fontFile);
    ~CairoPicture();
    CairoPicture(const CairoPicture&) = delete;
    CairoPicture& operator=(const CairoPicture&) = delete;

    // Draws the picture over its clear colour, at its size.
    void Draw(const FramePicture& picture);
    [[nodiscard]] int Width() const { return width; }
    [[nodiscard]] int Height() const { return height; }
    // The last picture drawn as rows of red, green and blue bytes from the top.
    void CopyRgb(std::uint8_t* out) const;
    [[nodiscard]] std::vector<std::uint8_t> Rgb() const;
    // The last picture drawn, as a PNG file's bytes.
    [[nodiscard]] Expected<std::string> Png() const;

private:
    CairoPicture() = default;
    void Resize(int newWidth, int newHeight);
    void DrawText(const FramePicture& picture, const PictureShape& shape);

    int width = 0;
    int height = 0;
    cairo_surface_t* surface = nullptr;
    cairo_t* cr = nullptr;
    CairoFont font;
};

} // namespace tryzone
