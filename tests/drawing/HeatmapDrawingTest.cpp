#include "drawing/HeatmapDrawing.h"

#include <algorithm>
#include <cstring>
#include <gtest/gtest.h>
#include <tuple>
#include <vector>

namespace tryzone
{

namespace
{
using namespace drawing;

const sf::Color kGrass(60, 140, 60);
const sf::Color kWhite(255, 255, 255);

// A white picture to draw on, and its pixels read back.
struct Canvas
{
    Surface surface{cairo_image_surface_create(CAIRO_FORMAT_RGB24, 400, 120), &cairo_surface_destroy};
    Context cr{cairo_create(surface.get()), &cairo_destroy};

    Canvas()
    {
        SetColour(cr.get(), kWhite);
        cairo_paint(cr.get());
    }

    sf::Color At(int x, int y)
    {
        cairo_surface_flush(surface.get());
        const unsigned char* data = cairo_image_surface_get_data(surface.get());
        std::uint32_t pixel = 0;
        std::memcpy(&pixel, data + y * cairo_image_surface_get_stride(surface.get()) + x * 4, 4);
        return sf::Color((pixel >> 16) & 0xff, (pixel >> 8) & 0xff, pixel & 0xff);
    }
};

struct Grouped
{
    std::int64_t value;
    const char* text;
};
class ThousandsCase : public testing::TestWithParam<Grouped>
{
};
} // namespace

TEST_P(ThousandsCase, GroupsDigitsByThreeFromTheRight)
{
    EXPECT_EQ(Thousands(GetParam().value), GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(Counts, ThousandsCase,
                         testing::Values(Grouped{0, "0"}, Grouped{999, "999"}, Grouped{1000, "1,000"},
                                         Grouped{100000, "100,000"}, Grouped{1234567, "1,234,567"},
                                         Grouped{-100, "-100"}, Grouped{-1000, "-1,000"},
                                         Grouped{-123456, "-123,456"}));

// The colours at both ends of the scale: a square visited once is a pale yellow over the grass, the busiest one deep
// red; a mix is exact at its ends and rounds in between.
TEST(HeatmapDrawing, ShadesRunFromPaleOverTheGrassToDeepRed)
{
    EXPECT_EQ(Mix(kGrass, kWhite, 0.f), kGrass);
    EXPECT_EQ(Mix(kGrass, kWhite, 1.f), kWhite);
    EXPECT_EQ(Mix(sf::Color(0, 0, 0), sf::Color(255, 101, 3), 0.5f), sf::Color(128, 51, 2));
    EXPECT_EQ(Shade(kGrass, 1.f), sf::Color(200, 0, 0));
    EXPECT_EQ(Shade(kGrass, 0.f), Mix(kGrass, sf::Color(255, 240, 120), 0.35f));
    for (float level = 0.1f; level <= 1.f; level += 0.1f)
    {
        const sf::Color below = Shade(kGrass, level - 0.1f);
        const sf::Color above = Shade(kGrass, level);
        EXPECT_GE(above.r, below.r) << level;
        EXPECT_LT(above.g, below.g) << level;
    }
}

// A pixel put lands at its own column and row; an arrow is drawn from its tail up to its head, in either direction.
TEST(HeatmapDrawing, PixelsAndArrowsLandWhereAsked)
{
    Canvas canvas;
    cairo_surface_flush(canvas.surface.get());
    Put(cairo_image_surface_get_data(canvas.surface.get()), cairo_image_surface_get_stride(canvas.surface.get()), 7, 3,
        kRed);
    cairo_surface_mark_dirty(canvas.surface.get());
    EXPECT_EQ(canvas.At(7, 3), kRed);
    EXPECT_EQ(canvas.At(8, 3), kWhite);
    EXPECT_EQ(canvas.At(7, 4), kWhite);

    Arrow(canvas.cr.get(), 20.0, 200.0, 40.0, kBlue);
    Arrow(canvas.cr.get(), 380.0, 220.0, 80.0, kRed);
    for (const auto& [x, y, colour] : std::vector<std::tuple<int, int, sf::Color>>{{25, 40, kBlue},
                                                                                   {120, 40, kBlue},
                                                                                   {197, 40, kBlue},
                                                                                   {192, 37, kBlue},
                                                                                   {205, 40, kWhite},
                                                                                   {15, 40, kWhite},
                                                                                   {375, 80, kRed},
                                                                                   {223, 80, kRed},
                                                                                   {228, 82, kRed},
                                                                                   {215, 80, kWhite}})
    {
        EXPECT_EQ(canvas.At(x, y), colour) << x << ", " << y;
    }
}

// The scale: the grass swatch for squares never visited, the shades from faint to busiest left to right, and ticks
// under the bar only when something was counted, the last at the bar's right end for the busiest square.
TEST(HeatmapDrawing, TheScaleShowsTheGrassTheShadesAndTicksOnlyForCounts)
{
    const sf::Color ink(34, 34, 34);
    constexpr double kTop = 10.0;
    const int bar = static_cast<int>(kTop) + 20 + 7;
    const int tick = static_cast<int>(kTop) + 20 + 14 + 3;
    const int barLeft = 10 + 26 + 14;
    for (const bool counted : {false, true})
    {
        Canvas canvas;
        DrawScale(canvas.cr.get(), 10.0, 390.0, kTop, counted ? 1000 : 0, counted ? 400 : 0, kGrass);
        EXPECT_EQ(canvas.At(23, bar), kGrass);
        EXPECT_EQ(canvas.At(barLeft + 1, bar), Shade(kGrass, 1.5f / 340.f));
        EXPECT_EQ(canvas.At(388, bar), Shade(kGrass, 338.5f / 340.f));
        EXPECT_EQ(canvas.At(389, tick), counted ? ink : kWhite) << counted;
    }
}

// Text is placed by its alignment: starting at x, centred on it or ending at it, and its width is returned.
TEST(HeatmapDrawing, TextStartsCentresOrEndsAtItsPoint)
{
    for (const Align align : {Align::Left, Align::Centre, Align::Right})
    {
        Canvas canvas;
        const double width = Text(canvas.cr.get(), 200.0, 60.0, "0% max 25%", kInk, align);
        ASSERT_GT(width, 30.0);
        int left = 400;
        int right = -1;
        for (int x = 0; x < 400; ++x)
        {
            for (int y = 40; y < 64; ++y)
            {
                if (canvas.At(x, y) != kWhite)
                {
                    left = std::min(left, x);
                    right = std::max(right, x);
                }
            }
        }
        const double start = align == Align::Left ? 200.0 : align == Align::Centre ? 200.0 - width / 2 : 200.0 - width;
        EXPECT_NEAR(left, start, 3.0) << static_cast<int>(align);
        EXPECT_NEAR(right, start + width, 4.0) << static_cast<int>(align);
    }
}

} // namespace tryzone
