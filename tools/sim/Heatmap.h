#pragma once

#include <SFML/System/Vector2.hpp>
#include <cstdint>
#include <string>
#include <vector>

// Where the ball spent its time: one count per frame in a grid of small squares over the pitch.
class Heatmap
{
public:
    Heatmap(int pitchWidth, int pitchHeight);

    void Add(sf::Vector2f ball);

    // The counts square by square, and another map's added to them: how workers' maps come together.
    [[nodiscard]] const std::vector<std::uint32_t>& Counts() const { return counts; }
    void AddCounts(const std::vector<std::uint32_t>& more);

    // Draws the pitch and the counts over it, drawn on the CPU alone, and writes a PNG; false when it cannot.
    [[nodiscard]] bool Save(const std::string& fileName) const;

private:
    static constexpr int kCell = 4; // pixels of pitch per square

    int width;
    int height;
    int columns;
    int rows;
    std::vector<std::uint32_t> counts;
};
