#pragma once

#include "core/FramePicture.h"
#include "files/Expected.h"

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace tryzone
{

// Frame pictures as a compact stream of bytes, for a player that draws them again (the web page's script, which
// reads the same format): each shape is written as the fields that changed since the shape at its place in the frame
// before. Positions and sizes are kept to an eighth of a pixel.
//   frame:  varint frame - previous frame, zigzag clock tenths - previous, varint shapes, varint marksFrom,
//           then each shape
//   shape:  varint mask of changed fields (bit 0 kind, 1 points, 2 size, 3 colour, 4 outline, 5 x, 6 y, 7 x2,
//           8 y2, 9 thickness, 10 text), then those fields in that order: kind and points a byte, size a varint,
//           colours four bytes (r, g, b, a), numbers a zigzag varint of the change in eighths, a text its length as
//           a varint and its UTF-8 bytes
// A shape with no shape before it at its place changes from kind 0, 30 points, size 20, opaque black, an opaque
// white outline, every number 0 and no text.
class PictureStream
{
public:
    void Add(std::int64_t frame, double clockSeconds, const FramePicture& picture, std::size_t marksFrom);
    [[nodiscard]] const std::string& Bytes() const { return bytes; }
    [[nodiscard]] std::size_t Frames() const { return frames; }

private:
    struct Kept
    {
        std::uint8_t kind = 0;
        std::uint8_t points = 30;
        std::uint16_t size = 20;
        PictureColor color{0, 0, 0, 255};
        PictureColor outline{255, 255, 255, 255};
        std::array<std::int64_t, 5> numbers{}; // x, y, x2, y2, thickness, in eighths
        std::string text;
    };

    std::string bytes;
    std::vector<Kept> kept;
    std::int64_t lastFrame = 0;
    std::int64_t lastTenths = 0;
    std::size_t frames = 0;
};

// The bytes compressed with zlib's deflate (the format a browser's DecompressionStream("deflate") reads).
[[nodiscard]] Expected<std::string> Deflate(const std::string& bytes);
[[nodiscard]] std::string Base64(const std::string& bytes);

} // namespace tryzone
