#pragma once

#include "run/FrameObserver.h"

#include <SFML/System/Vector2.hpp>
#include <cstdint>
#include <string>
#include <vector>

namespace tryzone
{

// What the picture's caption says about the run it shows; the frames are the heat map's own count.
struct HeatmapCaption
{
    int matches = 0;
    std::uint64_t seed = 0;
};

// Where the ball spent its time: one count per frame in a grid of small squares over the pitch. Watching a runner,
// it counts the ball where each frame leaves it.
class Heatmap : public FrameObserver
{
public:
    Heatmap(int pitchWidth, int pitchHeight);

    void Add(sf::Vector2f ball);
    bool AfterFrame(const RugbyScene& scene, std::int64_t played) override;

    // A square's number, row after row, and its count.
    struct Square
    {
        std::uint32_t square = 0;
        std::uint32_t count = 0;
    };

    [[nodiscard]] const std::vector<std::uint32_t>& Counts() const { return counts; }
    // The squares counted since the last call, in square order, and the map emptied: what a worker sends after a
    // match, a few thousand squares rather than the whole grid.
    [[nodiscard]] std::vector<Square> TakeCounted();
    // Another map's squares added to this one's; false, with nothing added, when one is not on this grid.
    [[nodiscard]] bool AddSquares(const std::vector<Square>& more);

    [[nodiscard]] std::int64_t Frames() const { return frames; }

    // The picture as the bytes of a PNG file: the pitch and the counts over it, a colour scale, each team's direction
    // of attack and a caption, drawn on the CPU alone. Throws std::runtime_error when the font cannot be read.
    [[nodiscard]] std::string EncodePng(const HeatmapCaption& caption) const;

    // Writes EncodePng's bytes to the file, whatever its extension; false when it cannot.
    [[nodiscard]] bool Save(const std::string& fileName, const HeatmapCaption& caption) const;

    // The font the text is drawn with: the installed one named at build time, else the copy next to the executable or
    // in the working directory. Throws std::runtime_error when there is none.
    [[nodiscard]] static std::string FontFile();

private:
    static constexpr int kCell = 4; // pixels of pitch per square

    // The pitch with its try lines and the counts over it, into the image's pixels; scale is log(1 + busiest).
    void PaintCounts(unsigned char* data, int stride, double scale) const;

    int width;
    int height;
    int columns;
    int rows;
    std::int64_t frames = 0;
    std::vector<std::uint32_t> counts;
    std::vector<std::uint32_t> counted; // the squares whose count rose from 0 since the last TakeCounted
};

} // namespace tryzone
