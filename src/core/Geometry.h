#pragma once

#include <SFML/System/Vector2.hpp>

namespace tryzone
{

// Distance between two whole-pixel points. The squares are summed in 64 bits, so no pair of ints overflows.
[[nodiscard]] float Distance(int x1, int y1, int x2, int y2);

// Distance between two points, all in single precision.
[[nodiscard]] float Distance(float x1, float y1, float x2, float y2);

// Scales v to length 1; false, with v untouched, when it has length 0.
bool Normalize(sf::Vector2f& v);

// Truncation towards zero that is defined for every float: NaN gives 0, out-of-range values saturate.
[[nodiscard]] int TruncToInt(float value);

} // namespace tryzone
