#include "Heatmap.h"

#include <SFML/Graphics/Image.hpp>
#include <algorithm>
#include <cmath>

namespace
{
sf::Color Mix(sf::Color under, sf::Color over, float amount)
{
    const auto channel = [amount](sf::Uint8 a, sf::Uint8 b)
    { return static_cast<sf::Uint8>(std::lround(static_cast<float>(a) + (static_cast<float>(b) - a) * amount)); };
    return sf::Color(channel(under.r, over.r), channel(under.g, over.g), channel(under.b, over.b));
}

// From pale yellow for rare squares to deep red for the busiest.
sf::Color Heat(float level)
{
    const sf::Color cool(255, 240, 120);
    const sf::Color hot(200, 0, 0);
    return Mix(cool, hot, level);
}
} // namespace

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
    ++counts[static_cast<std::size_t>(row * columns + column)];
}

void Heatmap::AddCounts(const std::vector<std::uint32_t>& more)
{
    for (std::size_t i = 0; i < counts.size() && i < more.size(); ++i)
    {
        counts[i] += more[i];
    }
}

bool Heatmap::Save(const std::string& fileName) const
{
    // Half the window's size: one image pixel for each two pitch pixels.
    const unsigned imageWidth = static_cast<unsigned>(width / 2);
    const unsigned imageHeight = static_cast<unsigned>(height / 2);
    const std::uint32_t busiest = *std::max_element(counts.begin(), counts.end());
    const double scale = std::log1p(static_cast<double>(busiest));

    sf::Image image;
    image.create(imageWidth, imageHeight);
    for (unsigned y = 0; y < imageHeight; ++y)
    {
        for (unsigned x = 0; x < imageWidth; ++x)
        {
            const float pitchX = 2.f * static_cast<float>(x) + 1.f;
            const float pitchY = 2.f * static_cast<float>(y) + 1.f;
            const float w = static_cast<float>(width);
            sf::Color color =
                (pitchX < 0.1f * w || pitchX > 0.9f * w) ? sf::Color(90, 151, 21) : sf::Color(112, 189, 26);
            if (std::fabs(pitchX - 0.1f * w) < 0.0025f * w || std::fabs(pitchX - 0.9f * w) < 0.0025f * w)
            {
                color = Mix(color, sf::Color::White, 200.f / 255.f);
            }
            const auto column = static_cast<std::size_t>(pitchX) / kCell;
            const auto row = static_cast<std::size_t>(pitchY) / kCell;
            const std::uint32_t count = counts[row * static_cast<std::size_t>(columns) + column];
            if (count > 0 && scale > 0.0)
            {
                // A log scale: the ball lingers on its carriers' paths for thousands of frames, elsewhere for few.
                const auto level = static_cast<float>(std::log1p(static_cast<double>(count)) / scale);
                color = Mix(color, Heat(level), 0.35f + 0.65f * level);
            }
            image.setPixel(x, y, color);
        }
    }
    return image.saveToFile(fileName);
}
