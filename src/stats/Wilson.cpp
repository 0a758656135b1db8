#include "stats/Wilson.h"

#include <algorithm>
#include <cmath>

namespace tryzone
{

Interval WilsonInterval(int wins, int matches)
{
    if (matches <= 0)
    {
        return {0.0, 1.0};
    }
    constexpr double z = 1.959963984540054; // the normal quantile of 97.5%
    const double n = matches;
    const double share = wins / n;
    const double shrink = 1.0 + z * z / n;
    const double centre = (share + z * z / (2.0 * n)) / shrink;
    const double half = z / shrink * std::sqrt(share * (1.0 - share) / n + z * z / (4.0 * n * n));
    // At 0 and at every match won the interval touches its end exactly; rounding must not push it past.
    return {wins == 0 ? 0.0 : std::max(0.0, centre - half), wins == matches ? 1.0 : std::min(1.0, centre + half)};
}

} // namespace tryzone
