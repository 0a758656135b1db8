#pragma once

#include <SFML/Graphics/Image.hpp>
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <vector>

namespace tryzone
{

// How an SFML picture and cairo's RGB bytes of the same frame differ, over the rows above `rows`. Anti-aliasing only
// touches edges, so a difference away from the SFML picture's edges is a real one.
struct PictureDifference
{
    long long awayFromEdges = 0; // pixels more than 2 px from an edge differing by more than 16 in a channel
    double farShare = 0.0;       // share of the pixels differing by more than 64 in a channel
    double mean = 0.0;           // mean of the largest channel difference
};

// Whether a pixel lies within two pixels of an edge of the picture: its 5 x 5 neighbourhood holds another colour.
inline bool NearAnEdge(const sf::Image& image, unsigned x, unsigned y)
{
    const sf::Color centre = image.getPixel(x, y);
    for (unsigned row = y < 2 ? 0 : y - 2; row <= std::min(y + 2, image.getSize().y - 1); ++row)
    {
        for (unsigned column = x < 2 ? 0 : x - 2; column <= std::min(x + 2, image.getSize().x - 1); ++column)
        {
            if (image.getPixel(column, row) != centre)
            {
                return true;
            }
        }
    }
    return false;
}

inline PictureDifference Compare(const sf::Image& image, const std::vector<std::uint8_t>& rgb, unsigned rows = 720)
{
    PictureDifference difference;
    long long far = 0;
    long long total = 0;
    for (unsigned y = 0; y < rows; ++y)
    {
        for (unsigned x = 0; x < 1280; ++x)
        {
            const sf::Color pixel = image.getPixel(x, y);
            const std::size_t at = (static_cast<std::size_t>(y) * 1280 + x) * 3;
            const int largest = std::max({std::abs(pixel.r - rgb[at]), std::abs(pixel.g - rgb[at + 1]),
                                          std::abs(pixel.b - rgb[at + 2])});
            far += largest > 64 ? 1 : 0;
            total += largest;
            difference.awayFromEdges += largest > 16 && !NearAnEdge(image, x, y) ? 1 : 0;
        }
    }
    const double pixels = 1280.0 * rows;
    difference.farShare = static_cast<double>(far) / pixels;
    difference.mean = static_cast<double>(total) / pixels;
    return difference;
}

} // namespace tryzone
