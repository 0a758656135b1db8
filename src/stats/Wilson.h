#pragma once

namespace tryzone
{

// The 95% Wilson score interval of a share of wins.
struct Interval
{
    double low = 0.0;
    double high = 0.0;
};
[[nodiscard]] Interval WilsonInterval(int wins, int matches);

} // namespace tryzone
