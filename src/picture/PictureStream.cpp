#include "picture/PictureStream.h"

#include <cmath>
#include <stdexcept>
#include <string_view>
#include <tuple>
#include <zlib.h>

namespace tryzone
{

namespace
{
void Varint(std::string& out, std::uint64_t value)
{
    while (value >= 0x80)
    {
        out += static_cast<char>((value & 0x7f) | 0x80);
        value >>= 7;
    }
    out += static_cast<char>(value);
}

void Zigzag(std::string& out, std::int64_t value)
{
    Varint(out, (static_cast<std::uint64_t>(value) << 1) ^ static_cast<std::uint64_t>(value >> 63));
}

void Colour(std::string& out, PictureColor color)
{
    out += static_cast<char>(color.r);
    out += static_cast<char>(color.g);
    out += static_cast<char>(color.b);
    out += static_cast<char>(color.a);
}

std::int64_t Eighths(float value)
{
    return std::isfinite(value) ? std::llround(static_cast<double>(value) * 8.0) : 0;
}
} // namespace

void PictureStream::Add(std::int64_t frame, double clockSeconds, const FramePicture& picture, std::size_t marksFrom)
{
    const std::int64_t tenths = std::llround(clockSeconds * 10.0);
    Varint(bytes, static_cast<std::uint64_t>(frame - lastFrame));
    Zigzag(bytes, tenths - lastTenths);
    Varint(bytes, picture.shapes.size());
    Varint(bytes, marksFrom);
    lastFrame = frame;
    lastTenths = tenths;
    if (kept.size() < picture.shapes.size())
    {
        kept.resize(picture.shapes.size());
    }
    std::string fields;
    for (std::size_t i = 0; i < picture.shapes.size(); ++i)
    {
        const PictureShape& shape = picture.shapes[i];
        Kept& before = kept[i];
        std::uint32_t mask = 0;
        fields.clear();
        if (static_cast<std::uint8_t>(shape.kind) != before.kind)
        {
            mask |= 1u << 0;
            before.kind = static_cast<std::uint8_t>(shape.kind);
            fields += static_cast<char>(before.kind);
        }
        if (shape.points != before.points)
        {
            mask |= 1u << 1;
            before.points = shape.points;
            fields += static_cast<char>(before.points);
        }
        if (shape.size != before.size)
        {
            mask |= 1u << 2;
            before.size = shape.size;
            Varint(fields, before.size);
        }
        for (auto [bit, now, then] : {std::tuple{3u, shape.color, &before.color}, {4u, shape.outline, &before.outline}})
        {
            if (now != *then)
            {
                mask |= 1u << bit;
                *then = now;
                Colour(fields, now);
            }
        }
        const std::array<std::int64_t, 5> numbers{Eighths(shape.x), Eighths(shape.y), Eighths(shape.x2),
                                                  Eighths(shape.y2), Eighths(shape.thickness)};
        for (std::size_t n = 0; n < numbers.size(); ++n)
        {
            if (numbers[n] != before.numbers[n])
            {
                mask |= 1u << (5 + n);
                Zigzag(fields, numbers[n] - before.numbers[n]);
                before.numbers[n] = numbers[n];
            }
        }
        if (const std::string_view text = picture.Text(shape); text != before.text)
        {
            mask |= 1u << 10;
            before.text.assign(text);
            Varint(fields, text.size());
            fields += text;
        }
        Varint(bytes, mask);
        bytes += fields;
    }
    ++frames;
}

Expected<std::string> Deflate(const std::string& bytes)
{
    uLongf size = compressBound(static_cast<uLong>(bytes.size()));
    std::string out(size, '\0');
    if (compress2(reinterpret_cast<Bytef*>(out.data()), &size, reinterpret_cast<const Bytef*>(bytes.data()),
                  static_cast<uLong>(bytes.size()), Z_BEST_COMPRESSION) != Z_OK)
    {
        return Unexpected{"cannot compress the pictures"};
    }
    out.resize(size);
    return out;
}

std::string Base64(const std::string& bytes)
{
    static constexpr char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    std::string out;
    out.reserve((bytes.size() + 2) / 3 * 4);
    for (std::size_t i = 0; i < bytes.size(); i += 3)
    {
        const auto byte = [&bytes](std::size_t at)
        { return at < bytes.size() ? static_cast<std::uint32_t>(static_cast<unsigned char>(bytes[at])) : 0u; };
        const std::uint32_t group = (byte(i) << 16) | (byte(i + 1) << 8) | byte(i + 2);
        out += kAlphabet[(group >> 18) & 63];
        out += kAlphabet[(group >> 12) & 63];
        out += i + 1 < bytes.size() ? kAlphabet[(group >> 6) & 63] : '=';
        out += i + 2 < bytes.size() ? kAlphabet[group & 63] : '=';
    }
    return out;
}

} // namespace tryzone
