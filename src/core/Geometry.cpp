#include "core/Geometry.h"

#include <cmath>
#include <cstdint>
#include <limits>

namespace tryzone
{

float Distance(int x1, int y1, int x2, int y2)
{
    const std::int64_t dx = static_cast<std::int64_t>(x2) - x1;
    const std::int64_t dy = static_cast<std::int64_t>(y2) - y1;
    const auto ux = static_cast<std::uint64_t>(dx < 0 ? -dx : dx);
    const auto uy = static_cast<std::uint64_t>(dy < 0 ? -dy : dy);
    const std::uint64_t sx = ux * ux;
    const std::uint64_t sy = uy * uy;
    // Only differences beyond 2^31 on both axes can carry the sum out of 64 bits; add those in double instead.
    const double s = sx <= std::numeric_limits<std::uint64_t>::max() - sy
                         ? static_cast<double>(sx + sy)
                         : static_cast<double>(sx) + static_cast<double>(sy);
    return static_cast<float>(std::sqrt(s));
}

float Distance(float x1, float y1, float x2, float y2)
{
    const float dx = x2 - x1;
    const float dy = y2 - y1;
    return std::sqrt(dx * dx + dy * dy);
}

bool Normalize(sf::Vector2f& v)
{
    const float length = std::sqrt(v.x * v.x + v.y * v.y);
    if (length == 0.f)
    {
        return false;
    }
    v.x = v.x / length;
    v.y = v.y / length;
    return true;
}

int TruncToInt(float value)
{
    // The common case first, in one range test that NaN fails too. 2^31 is exactly representable as a float.
    if (value > -2147483648.f && value < 2147483648.f)
    {
        return static_cast<int>(value);
    }
    if (std::isnan(value))
    {
        return 0;
    }
    return value > 0.f ? std::numeric_limits<int>::max() : std::numeric_limits<int>::min();
}

} // namespace tryzone
