#include "reports/Heatmap.h"

#include "drawing/HeatmapDrawing.h"
#include "behaviour/Ball.h"
#include "match/RugbyScene.h"
#include "picture/CairoPicture.h"

#include <SFML/Graphics/Color.hpp>
#include <algorithm>
#include <cairo.h>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <stdexcept>

namespace tryzone
{

Heatmap::Heatmap(int pitchWidth, int pitchHeight)
    : width(pitchWidth), height(pitchHeight), columns((pitchWidth + kCell - 1) / kCell),
      rows((pitchHeight + kCell - 1) / kCell), counts(static_cast<std::size_t>(columns * rows), 0)
{
}

void Heatmap::Add(sf::Vector2f ball)
{
    // A centre just outside the window (the frame before a try) counts at the edge.
    const int column = std::clamp(static_cast<int>(std::floor(ball.x / kCell)), 0, columns - 1);
    const int row = std::clamp(static_cast<int>(std::floor(ball.y / kCell)), 0, rows - 1);
    const auto square = static_cast<std::uint32_t>(row * columns + column);
    if (counts[square]++ == 0)
    {
        counted.push_back(square);
    }
    ++frames;
}

bool Heatmap::AfterFrame(const RugbyScene& scene, std::int64_t /*played*/)
{
    Add(scene.ball->PositionAt(0.5f, 0.5f));
    return true;
}

std::vector<Heatmap::Square> Heatmap::TakeCounted()
{
    std::sort(counted.begin(), counted.end());
    std::vector<Square> squares;
    squares.reserve(counted.size());
    for (const std::uint32_t square : counted)
    {
        squares.push_back({square, counts[square]});
        counts[square] = 0;
    }
    counted.clear();
    frames = 0;
    return squares;
}

bool Heatmap::AddSquares(const std::vector<Square>& more)
{
    for (const Square& square : more)
    {
        if (square.square >= counts.size())
        {
            return false;
        }
    }
    for (const Square& square : more)
    {
        if (counts[square.square] == 0 && square.count > 0)
        {
            counted.push_back(square.square);
        }
        counts[square.square] += square.count;
        frames += square.count; // each frame counts in one square
    }
    return true;
}

std::string Heatmap::FontFile()
{
    auto found = FindFontFile();
    if (!found)
    {
        throw std::runtime_error(found.Reason());
    }
    return *found;
}

void Heatmap::PaintCounts(unsigned char* data, int stride, double scale) const
{
    using namespace drawing;
    const float w = static_cast<float>(width);
    for (int y = 0; y < height / kScale; ++y)
    {
        for (int x = 0; x < width / kScale; ++x)
        {
            const float pitchX = static_cast<float>(kScale * x) + 1.f;
            const float pitchY = static_cast<float>(kScale * y) + 1.f;
            sf::Color colour = (pitchX < kLeftTryLine * w || pitchX > kRightTryLine * w) ? kInGoal : kFieldOfPlay;
            if (std::fabs(pitchX - kLeftTryLine * w) < 0.0025f * w ||
                std::fabs(pitchX - kRightTryLine * w) < 0.0025f * w)
            {
                colour = Mix(colour, sf::Color::White, 200.f / 255.f);
            }
            const auto column = static_cast<std::size_t>(pitchX) / kCell;
            const auto row = static_cast<std::size_t>(pitchY) / kCell;
            const std::uint32_t count = counts[row * static_cast<std::size_t>(columns) + column];
            if (count > 0 && scale > 0.0)
            {
                // A log scale: the ball lingers on its carriers' paths for thousands of frames, elsewhere for few.
                colour = Shade(colour, static_cast<float>(std::log1p(static_cast<double>(count)) / scale));
            }
            Put(data, stride, kSide + x, kPitchTop + y, colour);
        }
    }
}

std::string Heatmap::EncodePng(const HeatmapCaption& caption) const
{
    using namespace drawing;
    const int pitchWidth = width / kScale;
    const int pitchBottom = kPitchTop + height / kScale;
    const int imageWidth = pitchWidth + 2 * kSide;
    const int imageHeight = pitchBottom + 2 * kRowToPitch + kScaleHeight;
    const std::uint32_t busiest = *std::max_element(counts.begin(), counts.end());

    const Surface surface(cairo_image_surface_create(CAIRO_FORMAT_RGB24, imageWidth, imageHeight),
                          &cairo_surface_destroy);
    const Context context(cairo_create(surface.get()), &cairo_destroy);
    cairo_t* cr = context.get();
    SetColour(cr, kPaper);
    cairo_paint(cr);

    cairo_surface_flush(surface.get());
    unsigned char* data = cairo_image_surface_get_data(surface.get());
    if (data == nullptr)
    {
        throw std::runtime_error("cannot draw the heat map: out of memory");
    }
    PaintCounts(data, cairo_image_surface_get_stride(surface.get()), std::log1p(static_cast<double>(busiest)));
    cairo_surface_mark_dirty(surface.get());

    const FontFace font = LoadFont(FontFile());
    UseFont(cr, font.get());
    Text(cr, kSide, kTitleBaseline, "Where the ball spent its time", kInk, Align::Left, kTitleSize);
    Text(cr, kSide, kCaptionBaseline,
         Thousands(caption.matches) + (caption.matches == 1 ? " match, " : " matches, ") + Thousands(frames) +
             (frames == 1 ? " frame" : " frames") + ", seed " + std::to_string(caption.seed),
         kInk);

    // Blue attacks towards the right-hand try line, red towards the left-hand one.
    const double pitchLeft = kSide;
    const double pitchRight = kSide + pitchWidth;
    const double blueRow = kPitchTop - kRowToPitch + 0.5;
    const double blueLabel = Text(cr, pitchLeft, blueRow + 4.0, "Blue attacks", kBlue);
    Arrow(cr, pitchLeft + blueLabel + 10.0, pitchRight, blueRow, kBlue);
    const double redRow = pitchBottom + kRowToPitch - 0.5;
    const double redLabel = Text(cr, pitchRight, redRow + 4.0, "Red attacks", kRed, Align::Right);
    Arrow(cr, pitchRight - redLabel - 10.0, pitchLeft, redRow, kRed);

    DrawScale(cr, pitchLeft, pitchRight, pitchBottom + 2.0 * kRowToPitch, frames, busiest);

    if (cairo_status(cr) != CAIRO_STATUS_SUCCESS)
    {
        throw std::runtime_error(std::string("cannot draw the heat map: ") + cairo_status_to_string(cairo_status(cr)));
    }
    return EncodeSurface(surface.get());
}

bool Heatmap::Save(const std::string& fileName, const HeatmapCaption& caption) const
{
    const std::string png = EncodePng(caption);
    std::ofstream out(fileName, std::ios::binary);
    out.write(png.data(), static_cast<std::streamsize>(png.size()));
    out.close();
    return !out.fail();
}

} // namespace tryzone
